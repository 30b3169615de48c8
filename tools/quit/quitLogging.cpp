#include "quitLogging.h"

Q_LOGGING_CATEGORY(lcQuit, "tvd.quit")
