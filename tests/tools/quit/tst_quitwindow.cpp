#include "Application.h"
#include "MainWindow.h"
#include "TempProgramFolder.h"
#include "kernel.h"

#include <QLabel>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

class tst_quitWindow : public QObject
{
    Q_OBJECT

private slots:
    void showsAsTheServiceWindow();
    void labels_data();
    void labels();
    void followsProgress_data();
    void followsProgress();
    void withoutKernelShowsNothing();
    void closingTheWindowDoesNotEndTheProgram();
};

namespace {

// Long enough for no check to happen during a test.
constexpr int kNoCheckMs = 600000;

MainWindow *shownWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<MainWindow *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

} // namespace

void tst_quitWindow::showsAsTheServiceWindow()
{
    kernel quitKernel(QString(), false);
    MainWindow window(&quitKernel);

    QCOMPARE(window.windowTitle(), QString("Service d'TOLVAND MANAGER 3.9"));
    QVERIFY(window.windowIcon().availableSizes().contains(QSize(16, 16)));
    QCOMPARE(window.size(), QSize(340, 170));
    QCOMPARE(window.maximumSize(), QSize(340, 170));
    for (Qt::WindowType flag : {Qt::FramelessWindowHint, Qt::WindowTitleHint, Qt::WindowStaysOnTopHint})
        QVERIFY(window.windowFlags().testFlag(flag));

    const QStackedWidget *pages = window.findChild<QStackedWidget *>();
    QVERIFY(pages);
    QCOMPARE(pages->geometry(), QRect(0, 0, 340, 170));
    QCOMPARE(pages->currentIndex(), 0);
    const QProgressBar *bar = pages->currentWidget()->findChild<QProgressBar *>();
    QVERIFY(bar);
    QCOMPARE(bar->geometry(), QRect(35, 122, 270, 23));
    QCOMPARE(bar->value(), 0);
    QVERIFY(!bar->isTextVisible());
}

void tst_quitWindow::labels_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("wordWrap");

    QTest::newRow("closing")     << "Fermeture du service<br />d'TOLVAND MANAGER en cours..." << QRect(10, 30, 320, 51) << true;
    QTest::newRow("please wait") << "Merci de patienter..."                                  << QRect(10, 90, 320, 31) << false;
}

void tst_quitWindow::labels()
{
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(bool, wordWrap);

    kernel quitKernel(QString(), false);
    MainWindow window(&quitKernel);
    const QLabel *label = nullptr;
    for (const QLabel *candidate : window.findChild<QStackedWidget *>()->currentWidget()->findChildren<QLabel *>()) {
        if (candidate->text() == text)
            label = candidate;
    }
    QVERIFY(label);
    QCOMPARE(label->geometry(), geometry);
    QCOMPARE(label->wordWrap(), wordWrap);
    QCOMPARE(label->textFormat(), Qt::RichText);
    QCOMPARE(label->alignment(), Qt::AlignCenter);
    QCOMPARE(label->font().family(), QString("Arial"));
    QCOMPARE(label->font().pointSize(), 9);
    QVERIFY(label->font().bold());
}

void tst_quitWindow::followsProgress_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("stepMax");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");

    QTest::newRow("step of five")          << 3  << 5  << 5  << 3;
    QTest::newRow("last step")             << 5  << 5  << 5  << 5;
    QTest::newRow("above ten of twenty")   << 12 << 20 << 20 << 12;
    QTest::newRow("no maximum, below ten") << 4  << 0  << 10 << 4;
    QTest::newRow("no maximum, ten")       << 10 << 0  << 10 << 10;
    QTest::newRow("no maximum, above ten") << 12 << 0  << 10 << 10;
}

void tst_quitWindow::followsProgress()
{
    QFETCH(int, step);
    QFETCH(int, stepMax);
    QFETCH(int, maximum);
    QFETCH(int, value);

    kernel quitKernel(QString(), false);
    MainWindow window(&quitKernel);
    emit quitKernel.timeSliceStepReach(step, stepMax);

    const QProgressBar *bar = window.findChild<QProgressBar *>();
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), maximum);
    QCOMPARE(bar->value(), value);
}

void tst_quitWindow::withoutKernelShowsNothing()
{
    auto *app = static_cast<Application *>(QCoreApplication::instance());
    QCOMPARE(app->attachKernel(nullptr), -1);
    QVERIFY(!shownWindow());
}

// Last: it runs the application's event loop.
void tst_quitWindow::closingTheWindowDoesNotEndTheProgram()
{
    TempProgramFolder folder;
    QVERIFY(folder.addDataFolder());
    kernel quitKernel(folder.path(), false, kNoCheckMs);
    auto *app = static_cast<Application *>(QCoreApplication::instance());

    QCOMPARE(app->attachKernel(&quitKernel), 0);
    MainWindow *window = shownWindow();
    QVERIFY(window);
    QCOMPARE(readAll(folder.dataFilePath("tvdmon.ife")), QByteArray("TVDmquit:Now\r\n"));

    QTimer::singleShot(0, window, &QWidget::close);
    // Had the closing ended the loop, it would have done so long before.
    QTimer::singleShot(500, &quitKernel, [&quitKernel] { emit quitKernel.ExitAppRequest(3); });
    QCOMPARE(app->exec(), 3);
    QVERIFY(!window->isVisible());
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    tst_quitWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_quitwindow.moc"
