#include "ManagerWindow.h"
#include "TempProgramFolder.h"
#include "kernel.h"

#include <QComboBox>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>

// TVDMAN.exe as it stands in for the manager: the lines it appends, and its
// headless run.
class tst_managersimulator : public QObject
{
    Q_OBJECT

private slots:
    void appendsTheManagersLines();
    void showsWhatCouldNotBeWritten();
    void headlessRunsUntilEnded();
};

void tst_managersimulator::appendsTheManagersLines()
{
    TempProgramFolder folder;
    QVERIFY(folder.addDataFolder());
    QVERIFY(writeFile(folder.dataFilePath("tvdman.ife"), "TVDGetCertificate:now"));
    ManagerWindow window(folder.dataFilePath("tvdman.ife"));

    auto *models = window.findChild<QComboBox *>("modelComboBox");
    QCOMPARE(models->count(), kernel::deviceModelTable().size());
    QCOMPARE(models->itemText(0), QString("Altair"));
    QCOMPARE(models->currentText(), QString("Vega"));
    models->setCurrentText("Lyraos");
    QTest::mouseClick(window.findChild<QPushButton *>("connectDevicePushButton"), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QPushButton *>("askCertificatePushButton"), Qt::LeftButton);

    // Appended as they are, after what the file held.
    QCOMPARE(readAll(folder.dataFilePath("tvdman.ife")),
        QByteArray("TVDGetCertificate:nowTVDDevice:Lyraos\r\nTVDGetCertificate:now\r\n"));
    auto *written = window.findChild<QListWidget *>("writtenListWidget");
    QCOMPARE(written->count(), 2);
    QCOMPARE(written->item(0)->text(), QString("TVDDevice:Lyraos\\r\\n"));
    QCOMPARE(written->item(1)->text(), QString("TVDGetCertificate:now\\r\\n"));
}

void tst_managersimulator::showsWhatCouldNotBeWritten()
{
    TempProgramFolder folder;
    ManagerWindow window(folder.dataFilePath("tvdman.ife"));
    QVERIFY(!window.appendEvent("TVDGetCertificate:now\r\n"));
    QVERIFY(!QFile::exists(folder.dataFilePath("tvdman.ife")));
    const QString shown = window.findChild<QListWidget *>("writtenListWidget")->item(0)->text();
    QVERIFY2(shown.startsWith(QString::fromUtf8("TVDGetCertificate:now\\r\\n  (non écrit")), qPrintable(shown));
}

void tst_managersimulator::headlessRunsUntilEnded()
{
    TempProgramFolder folder;
    QVERIFY(folder.addProgram("TVDMAN.exe"));
    QProcess manager;
    manager.start(folder.filePath("TVDMAN.exe"), { "--headless" });
    QVERIFY(manager.waitForStarted());
    QVERIFY(!manager.waitForFinished(500));
    manager.terminate();
    QVERIFY(manager.waitForFinished(5000));
}

QTEST_MAIN(tst_managersimulator)
#include "tst_managersimulator.moc"
