#include "Application.h"

#include "MainWindow.h"
#include "kernel.h"

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
    , _kernel(nullptr)
    , _mainWindow(nullptr)
{
    setQuitOnLastWindowClosed(false);
}

Application::~Application()
{
    delete _mainWindow;
}

int Application::attachKernel(kernel *quitKernel)
{
    _kernel = quitKernel;
    if (!_kernel)
        return -1;
    _mainWindow = new MainWindow(_kernel);
    _mainWindow->show();
    return _kernel->startQuitOrderSequence();
}
