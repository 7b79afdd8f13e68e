#include "platform/qt/Logging.h"

Q_LOGGING_CATEGORY(lcPlatform, "mikroteilchen.platform", QtWarningMsg)
