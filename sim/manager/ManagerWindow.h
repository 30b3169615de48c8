#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class ManagerWindow;
}

// Stands in for the manager application TVDMAN.exe: a device can be
// connected and its certificate asked for, each by the line the manager
// appends to its event file.
class ManagerWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ManagerWindow(const QString &strEventFilePath, QWidget *parent = nullptr);
    ~ManagerWindow() override;

    // Appends one line to the event file, as the manager does; false when
    // the file cannot be written (the daemon has not made its folder yet).
    bool appendEvent(const QByteArray &line);

private:
    Ui::ManagerWindow *ui;
    QString _strEventFilePath;
};
