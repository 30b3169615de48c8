// tvdsnid: makes and reads certificate serial numbers for support staff.

#include "SnidTool.h"

#include <QCoreApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The answer goes to support staff: the codec's traces would bury it.
    QLoggingCategory::setFilterRules(QStringLiteral("tvd.*.debug=false"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return SnidTool(out, err).run(app.arguments().mid(1));
}
