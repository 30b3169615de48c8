// TVDMAN.exe for development and tests: a small window standing in for the
// manager application. It appends the manager's event lines to the event
// file of the data folder beside it. With --headless it shows nothing and
// only runs until it is ended.

#include "ManagerWindow.h"
#include "processList.h"

#include <QApplication>
#include <QDir>

#include <cstring>

int main(int argc, char *argv[])
{
    processList processes;
    processes.initApplicationDir();
    const QString eventFile = processes.applicationDir() + QStringLiteral("datamon") + QDir::separator()
        + QStringLiteral("tvdman.ife");
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0) {
            QCoreApplication app(argc, argv);
            return app.exec();
        }
    }
    QApplication app(argc, argv);
    ManagerWindow window(eventFile);
    window.show();
    return app.exec();
}
