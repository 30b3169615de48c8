#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSnid)
Q_DECLARE_LOGGING_CATEGORY(lcSoap)
