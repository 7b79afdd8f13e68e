#pragma once

// What the binding reports about the window's life and the files it loads. Silent
// unless switched on, e.g. QT_LOGGING_RULES="mikroteilchen.platform.info=true":
// the real-window tests read it to see that shut-down ran exactly once.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
