#pragma once

#include "Platform.h"

namespace varneth {

// Keeps the main window above every other window: on each tick, when another window has
// become the foreground, that window leaves the always-on-top group and ours rejoins it.
// The timer that drives it is the switch. What it remembers is whether the desktop grants
// the group at all: a window manager may list the state as supported and still refuse
// every request for it (fvwm in its default configuration), and ticks there would only
// ask again and again.
class KeepOnTop
{
public:
    // Ticks after a request of ours before a window still outside the group counts as
    // refused: a window manager answers within milliseconds, even a busy one within a tick.
    static constexpr int kPatience = 3;

    explicit KeepOnTop(Platform& platform) : m_platform(platform) {}

    void tick(WindowHandle own);

    // Whether our window never joined the group in kPatience ticks after being asked to.
    // Once so, ticks ask nothing more.
    bool desktopRefuses() const { return m_refused; }

private:
    Platform& m_platform;
    bool m_asked = false;
    bool m_granted = false;
    bool m_refused = false;
    int m_unanswered = 0;
};

} // namespace varneth
