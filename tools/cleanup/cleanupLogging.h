#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCleanupKernel)
Q_DECLARE_LOGGING_CATEGORY(lcCleanupScanner)
Q_DECLARE_LOGGING_CATEGORY(lcCleanupWindow)
