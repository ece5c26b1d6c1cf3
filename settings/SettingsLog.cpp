#include "SettingsLog.h"

namespace varneth {

Q_LOGGING_CATEGORY(lcSettings, "varneth.settings")

} // namespace varneth
