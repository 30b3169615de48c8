#pragma once

#include <QMainWindow>

#include <memory>

class kernel;

namespace Ui {
class MainWindow;
}

// The small progress window shown while the daemon is asked to quit.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(kernel *quitKernel, QWidget *parent = nullptr);
    ~MainWindow() override;

public slots:
    void slot_exit(int returnCode);
    void slot_timeSliceStepReach(int step, int stepMax);

private:
    kernel *_kernel;
    std::unique_ptr<Ui::MainWindow> _ui;
};
