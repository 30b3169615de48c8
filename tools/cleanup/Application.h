#pragma once

#include <QApplication>

class kernel;
class MainWindow;

// The program's application object: the cleanup ends the program, never the
// closing of its window.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);
    ~Application() override;

    // Shows the window of the kernel and starts its countdown; -1 without one.
    int attachKernel(kernel *cleanupKernel);

private:
    kernel *_kernel;
    MainWindow *_mainWindow;
};
