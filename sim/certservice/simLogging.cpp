#include "simLogging.h"

Q_LOGGING_CATEGORY(lcCertSim, "tvd.sim.certservice")
