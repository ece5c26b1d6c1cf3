#include "UiLog.h"

namespace varneth {

Q_LOGGING_CATEGORY(lcUi, "varneth.ui")

} // namespace varneth
