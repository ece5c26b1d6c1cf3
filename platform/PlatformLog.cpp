#include "PlatformLog.h"

namespace varneth {

Q_LOGGING_CATEGORY(lcPlatform, "varneth.platform")

} // namespace varneth
