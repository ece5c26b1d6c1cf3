#pragma once

#include <QLoggingCategory>

namespace varneth {

// Messages about the desktop: the calculator, the window manager, the display.
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)

} // namespace varneth
