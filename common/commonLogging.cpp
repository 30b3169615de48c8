#include "commonLogging.h"

Q_LOGGING_CATEGORY(lcCommon, "tvd.common")
