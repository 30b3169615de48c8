#pragma once

#include <QApplication>

class CertificateRequestDialog;
class kernel;
class MainWindow;

// The daemon's application object: only the kernel's quit request ends the
// program, never the closing of a window.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);
    ~Application() override;

    // Builds the windows of the kernel and starts it; the kernel's start
    // result, or -1 without a kernel.
    int attachKernel(kernel *k);

    MainWindow *mainWindow() const;
    CertificateRequestDialog *certificateRequestDialog() const;

private:
    kernel *_kernel;
    MainWindow *_mainWindow;
    CertificateRequestDialog *_certificateRequestDialog;
};
