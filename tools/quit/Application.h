#pragma once

#include <QApplication>

class kernel;
class MainWindow;

// The program's application object: the kernel ends the program, never the
// closing of its window.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);
    ~Application() override;

    // Shows the window of the kernel and sends the first quit order; -1
    // without a kernel.
    int attachKernel(kernel *quitKernel);

private:
    kernel *_kernel;
    MainWindow *_mainWindow;
};
