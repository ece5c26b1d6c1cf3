#pragma once

#include "Platform.h"

namespace varneth {

// The desktop as Qt alone describes it, for Wayland and every platform without a backend
// of its own. Qt knows only this program's windows: the foreground is our own active
// window or none, and only our own windows can join or leave the always-on-top group.
// Other programs' windows are left alone.
class QtPlatform : public Platform
{
public:
    WindowHandle foregroundWindow() override;
    void setTopmost(WindowHandle window, bool topmost) override;
    bool startCalculator() override;
};

} // namespace varneth
