#include "daemonLogging.h"

Q_LOGGING_CATEGORY(lcKernel, "tvd.daemon.kernel")
