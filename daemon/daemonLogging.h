#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcKernel)
Q_DECLARE_LOGGING_CATEGORY(lcDownload)
