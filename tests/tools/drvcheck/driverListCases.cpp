#include "driverListCases.h"

#include <QTest>

namespace {

const QByteArray kHeader = "\r\nModule Name  Display Name           Driver Type   Link Date\r\n"
                           "============ ====================== ============= ======================\r\n";

} // namespace

void addDriverListRows()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("count");

    const QByteArray pad(80, '.');
    QTest::newRow("no driver")          << kHeader + "serenum      Serenum Filter Driver  Kernel\r\n" << 0;
    QTest::newRow("prolific line")      << kHeader + "Ser2pl       Prolific Serial Port   Kernel\r\n" << 1;
    QTest::newRow("any case and order") << QByteArray("PORT for sErIaL by PROLIFIC\n")                << 1;
    QTest::newRow("serial missing")     << QByteArray("Prolific USB-to-COM Port\n")                    << 0;
    QTest::newRow("words on two lines") << QByteArray("Prolific driver\nSerial Port\n")                << 0;
    QTest::newRow("two driver lines")   << QByteArray("prolific serial port\nProlific Serial Port\n")  << 2;
    QTest::newRow("long line, words in two pieces") << "prolific" + pad + "serial" + pad + "port\n"   << 0;
    QTest::newRow("long line, two full pieces")
        << "prolific serial port" + QByteArray(79, '.') + "prolific serial port\n" << 2;
    QTest::newRow("no output")          << QByteArray()                                                << 0;
    // More than an 8-bit counter holds: still reported, not wrapped to 0.
    QTest::newRow("256 driver lines")   << QByteArray("Prolific Serial Port\n").repeated(256)          << 256;
}

QByteArray driverCheckLog(int count)
{
    return "[TVDdrvck]\r\nPL2303Present=" + QByteArray::number(count) + "\r\n";
}
