#include "daemonLogging.h"

Q_LOGGING_CATEGORY(lcKernel, "tvd.daemon.kernel")
Q_LOGGING_CATEGORY(lcDownload, "tvd.daemon.download")
Q_LOGGING_CATEGORY(lcDialog, "tvd.daemon.dialog")
Q_LOGGING_CATEGORY(lcStartup, "tvd.daemon.startup")
