#include "certificateLogging.h"

Q_LOGGING_CATEGORY(lcSnid, "tvd.daemon.snid")
