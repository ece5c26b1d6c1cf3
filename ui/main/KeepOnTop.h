#pragma once

#include "Platform.h"

namespace varneth {

// Keeps the main window above every other window: on each tick, when another window has
// become the foreground, that window leaves the always-on-top group and ours rejoins it.
// It has no state of its own; the timer that drives it is the only switch.
class KeepOnTop
{
public:
    explicit KeepOnTop(Platform& platform) : m_platform(platform) {}

    void tick(WindowHandle own);

private:
    Platform& m_platform;
};

} // namespace varneth
