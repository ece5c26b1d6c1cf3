#pragma once

#include <QLoggingCategory>

namespace varneth {

// Messages about the windows and the program's run.
Q_DECLARE_LOGGING_CATEGORY(lcUi)

} // namespace varneth
