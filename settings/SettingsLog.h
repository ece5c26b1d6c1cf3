#pragma once

#include <QLoggingCategory>

namespace varneth {

// Messages about the settings file: unreadable stored values and failed writes.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)

} // namespace varneth
