#include "MsvcrtRandom.h"

#include <QTest>

class tst_msvcrtrandom : public QObject
{
    Q_OBJECT

private slots:
    void matchesWindowsRuntime_data();
    void matchesWindowsRuntime();
    void generatorsAreIndependent();
    void reseedRestartsSequence();
};

void tst_msvcrtrandom::matchesWindowsRuntime_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QList<int>>("values");

    // First values of srand(seed) then rand() on the Windows C runtime.
    QTest::newRow("seed 1")   << 1u   << QList<int>{41, 18467, 6334, 26500, 19169};
    QTest::newRow("seed 0")   << 0u   << QList<int>{38, 7719, 21238, 2437, 8855};
    QTest::newRow("seed 333") << 333u << QList<int>{1126, 15226, 6231, 20128, 2968};
}

void tst_msvcrtrandom::matchesWindowsRuntime()
{
    QFETCH(quint32, seed);
    QFETCH(QList<int>, values);

    MsvcrtRandom random(seed);
    QList<int> drawn;
    for (int i = 0; i < values.size(); ++i)
        drawn << random.next();
    QCOMPARE(drawn, values);
}

void tst_msvcrtrandom::generatorsAreIndependent()
{
    MsvcrtRandom first(1);
    MsvcrtRandom second(1);
    QCOMPARE(first.next(), 41);
    QCOMPARE(first.next(), 18467);
    QCOMPARE(second.next(), 41);
    QCOMPARE(first.next(), 6334);
}

void tst_msvcrtrandom::reseedRestartsSequence()
{
    MsvcrtRandom random(1);
    random.next();
    random.next();
    random.seed(1);
    QCOMPARE(random.next(), 41);
}

QTEST_GUILESS_MAIN(tst_msvcrtrandom)
#include "tst_msvcrtrandom.moc"
