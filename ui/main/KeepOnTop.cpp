#include "KeepOnTop.h"

namespace varneth {

void KeepOnTop::tick(WindowHandle own)
{
    if (m_refused) {
        return;
    }
    // Once the desktop has put our window in the group it grants it; asked again later, a
    // window out of the group was taken out by someone else.
    if (m_asked && !m_granted) {
        if (m_platform.isTopmost(own)) {
            m_granted = true;
        } else if (++m_unanswered >= kPatience) {
            m_refused = true;
            return;
        }
    }
    if (m_platform.foregroundWindow() == own) {
        return;
    }
    // Asked again on purpose: the window restacked is the one in front now, which may
    // have changed since the first question.
    const WindowHandle foreground = m_platform.foregroundWindow();
    // While an earlier request of ours is still unanswered, the other window keeps its
    // place: a desktop that will not put ours in the group must not see others leave it.
    if (!m_asked || m_granted) {
        m_platform.setTopmost(foreground, false);
    }
    m_platform.setTopmost(own, true);
    m_asked = true;
}

} // namespace varneth
