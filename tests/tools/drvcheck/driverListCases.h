#pragma once

#include <QByteArray>

// The driver lists that both builds of tvdckdrv are run on, as rows of a
// QtTest table: "output", what driverquery prints, and "count", the pieces
// of it that name the Prolific serial port driver.
void addDriverListRows();

// The log that tvdckdrv writes for a count.
QByteArray driverCheckLog(int count);
