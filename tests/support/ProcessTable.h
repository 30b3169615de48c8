#pragma once

#include <QList>
#include <QString>

// The running processes of one program file, found by the file they run,
// wherever they were started from.
namespace ProcessTable {

QList<qint64> processesOf(const QString &programPath);
// Kills them and waits until they have left the process table.
bool killAll(const QString &programPath);

} // namespace ProcessTable
