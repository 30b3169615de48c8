#pragma once

#include <QString>

// A decision of the cleanup: a file to remove, or a menu folder to report.
struct removalEntry {
    QString strDir;
    QString strFileName; // empty for a menu folder
    int isMenuFolder = 0;
};
