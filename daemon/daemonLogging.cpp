#include "daemonLogging.h"

Q_LOGGING_CATEGORY(lcKernel, "tvd.daemon.kernel")
Q_LOGGING_CATEGORY(lcDownload, "tvd.daemon.download")
