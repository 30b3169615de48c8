#include "certificateLogging.h"

Q_LOGGING_CATEGORY(lcSnid, "tvd.daemon.snid")
Q_LOGGING_CATEGORY(lcSoap, "tvd.daemon.soap")
