#include "Application.h"

#include "CertificateRequestDialog.h"
#include "MainWindow.h"
#include "kernel.h"

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
    , _kernel(nullptr)
    , _mainWindow(nullptr)
    , _certificateRequestDialog(nullptr)
{
    setQuitOnLastWindowClosed(false);
}

Application::~Application()
{
    delete _certificateRequestDialog;
    delete _mainWindow;
}

int Application::attachKernel(kernel *k)
{
    _kernel = k;
    if (!_kernel)
        return -1;
    // Windows belong to one kernel: a kernel attached later gets its own.
    delete _certificateRequestDialog;
    delete _mainWindow;
    _mainWindow = new MainWindow(_kernel);
    _certificateRequestDialog = new CertificateRequestDialog(_kernel);
    return _kernel->start();
}

MainWindow *Application::mainWindow() const
{
    return _mainWindow;
}

CertificateRequestDialog *Application::certificateRequestDialog() const
{
    return _certificateRequestDialog;
}
