#include "MainWindow.h"
#include "kernel.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>

class tst_cleanupWindow : public QObject
{
    Q_OBJECT

private slots:
    void showsAsTheInstallerWantsIt();
    void followsProgress_data();
    void followsProgress();
};

void tst_cleanupWindow::showsAsTheInstallerWantsIt()
{
    kernel cleanup{QString(), QString()};
    MainWindow window(&cleanup);

    QCOMPARE(window.windowTitle(), QString("Installation d'TOLVAND MANAGER 3.9"));
    QVERIFY(!window.windowIcon().isNull());
    QCOMPARE(window.maximumSize(), QSize(340, 170));
    QCOMPARE(window.size(), QSize(340, 170));
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QStringList texts;
    for (const QLabel *label : window.findChildren<QLabel *>())
        texts << label->text();
    texts.sort();
    QCOMPARE(texts, (QStringList{"Finalisation de l'installation en cours...",
                                 "Merci de patienter,<br />Cela peut prendre plusieurs minutes"}));
    const QProgressBar *bar = window.findChild<QProgressBar *>();
    QVERIFY(bar);
    QCOMPARE(bar->value(), 0);
    QVERIFY(!bar->isTextVisible());
}

void tst_cleanupWindow::followsProgress_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("stepMax");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");

    QTest::newRow("step of five")        << 3  << 5 << 5  << 3;
    QTest::newRow("last step")           << 5  << 5 << 5  << 5;
    QTest::newRow("no maximum")          << 4  << 0 << 10 << 4;
    QTest::newRow("no maximum, capped")  << 12 << 0 << 10 << 10;
}

void tst_cleanupWindow::followsProgress()
{
    QFETCH(int, step);
    QFETCH(int, stepMax);
    QFETCH(int, maximum);
    QFETCH(int, value);

    kernel cleanup{QString(), QString()};
    MainWindow window(&cleanup);
    emit cleanup.timeSliceStepReach(step, stepMax);

    const QProgressBar *bar = window.findChild<QProgressBar *>();
    QCOMPARE(bar->maximum(), maximum);
    QCOMPARE(bar->value(), value);
}

QTEST_MAIN(tst_cleanupWindow)
#include "tst_cleanupwindow.moc"
