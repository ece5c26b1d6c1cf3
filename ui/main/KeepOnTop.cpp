#include "KeepOnTop.h"

namespace varneth {

void KeepOnTop::tick(WindowHandle own)
{
    if (m_platform.foregroundWindow() == own) {
        return;
    }
    // Asked again on purpose: the window restacked is the one in front now, which may
    // have changed since the first question.
    const WindowHandle foreground = m_platform.foregroundWindow();
    m_platform.setTopmost(foreground, false);
    m_platform.setTopmost(own, true);
}

} // namespace varneth
