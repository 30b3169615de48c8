#include "winOSinfos.h"

#include <QTest>

class tst_winOSinfos : public QObject
{
    Q_OBJECT

private slots:
    void classification_data();
    void classification();
    void laterAnswerReplacesEarlierOne();
    void versionOfKernel_data();
    void versionOfKernel();
    void thisSystemIsNotSupported();
};

void tst_winOSinfos::classification_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("supported");
    QTest::addColumn<bool>("vistaOrLater");

    QTest::newRow("98")           << int(winOSinfos::WV_98)       << true  << false;
    QTest::newRow("Me")           << int(winOSinfos::WV_Me)       << true  << false;
    QTest::newRow("NT")           << int(winOSinfos::WV_NT)       << true  << false;
    QTest::newRow("2000")         << int(winOSinfos::WV_2000)     << true  << false;
    QTest::newRow("XP")           << int(winOSinfos::WV_XP)       << true  << false;
    QTest::newRow("Vista")        << int(winOSinfos::WV_VISTA)    << true  << true;
    QTest::newRow("7")            << int(winOSinfos::WV_WINDOWS7) << true  << true;
    QTest::newRow("3.1 Win32s")   << int(winOSinfos::WV_32s)      << false << false;
    QTest::newRow("95")           << int(winOSinfos::WV_95)       << false << false;
    QTest::newRow("Server 2003")  << int(winOSinfos::WV_2003)     << false << false;
    QTest::newRow("8")            << int(winOSinfos::WV_WINDOWS8) << false << false;
    QTest::newRow("not Windows")  << int(winOSinfos::WV_None)     << false << false;
}

void tst_winOSinfos::classification()
{
    QFETCH(int, version);
    QFETCH(bool, supported);
    QFETCH(bool, vistaOrLater);

    winOSinfos infos;
    QCOMPARE(infos.checkWindowsVersion(version), supported);
    QCOMPARE(infos.isSupportedWindows(), supported);
    QCOMPARE(infos.isVistaOrLater(), vistaOrLater);
    QCOMPARE(infos.winVersion(), version);
}

void tst_winOSinfos::laterAnswerReplacesEarlierOne()
{
    winOSinfos infos;
    QVERIFY(infos.checkWindowsVersion(winOSinfos::WV_WINDOWS7));
    QVERIFY(!infos.checkWindowsVersion(winOSinfos::WV_2003));
    QVERIFY(!infos.isSupportedWindows());
    QVERIFY(!infos.isVistaOrLater());
}

void tst_winOSinfos::versionOfKernel_data()
{
    QTest::addColumn<QString>("kernelType");
    QTest::addColumn<QString>("kernelVersion");
    QTest::addColumn<int>("version");

    QTest::newRow("NT 4")        << "winnt" << "4.0.1381"   << int(winOSinfos::WV_NT);
    QTest::newRow("2000")        << "winnt" << "5.0.2195"   << int(winOSinfos::WV_2000);
    QTest::newRow("XP")          << "winnt" << "5.1.2600"   << int(winOSinfos::WV_XP);
    QTest::newRow("Server 2003") << "winnt" << "5.2.3790"   << int(winOSinfos::WV_2003);
    QTest::newRow("Vista")       << "winnt" << "6.0.6002"   << int(winOSinfos::WV_VISTA);
    QTest::newRow("7")           << "winnt" << "6.1.7601"   << int(winOSinfos::WV_WINDOWS7);
    QTest::newRow("8.1")         << "winnt" << "6.3.9600"   << int(winOSinfos::WV_WINDOWS8_1);
    QTest::newRow("10")          << "winnt" << "10.0.19045" << int(winOSinfos::WV_WINDOWS10);
    QTest::newRow("Linux")       << "linux" << "6.1.0"      << int(winOSinfos::WV_None);
}

void tst_winOSinfos::versionOfKernel()
{
    QFETCH(QString, kernelType);
    QFETCH(QString, kernelVersion);
    QFETCH(int, version);
    QCOMPARE(winOSinfos::windowsVersionOf(kernelType, kernelVersion), version);
}

void tst_winOSinfos::thisSystemIsNotSupported()
{
    winOSinfos infos;
    QVERIFY(!infos.checkWindowsVersion());
    QCOMPARE(infos.winVersion(), int(winOSinfos::WV_None));
}

QTEST_GUILESS_MAIN(tst_winOSinfos)
#include "tst_winosinfos.moc"
