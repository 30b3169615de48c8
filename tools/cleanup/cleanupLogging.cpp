#include "cleanupLogging.h"

Q_LOGGING_CATEGORY(lcCleanupKernel, "tvd.cleanup.kernel")
Q_LOGGING_CATEGORY(lcCleanupScanner, "tvd.cleanup.scanner")
Q_LOGGING_CATEGORY(lcCleanupWindow, "tvd.cleanup.window")
