#include "certificateLogging.h"

Q_LOGGING_CATEGORY(lcSoap, "tvd.daemon.soap")
