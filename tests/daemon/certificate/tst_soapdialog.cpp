#include <QTest>
class tst_soapdialog : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(tst_soapdialog)
#include "tst_soapdialog.moc"
