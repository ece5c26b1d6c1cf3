#pragma once

#include "Platform.h"

#include <cstdint>

struct xcb_connection_t;

namespace varneth {

// The desktop as an EWMH window manager on X11 describes it. The foreground is the
// window manager's _NET_ACTIVE_WINDOW, and the always-on-top group is the windows in
// state _NET_WM_STATE_ABOVE. Any client's window can be asked to join or leave that group,
// which is what lets the main window push another program's window down.
class X11Platform : public Platform
{
public:
    // Uses the X connection of the running QGuiApplication, which must be on "xcb".
    X11Platform();
    // Uses the given connection and root window; the connection stays the caller's.
    X11Platform(xcb_connection_t* connection, std::uint32_t root);

    WindowHandle foregroundWindow() override;
    void setTopmost(WindowHandle window, bool topmost) override;
    void shellExecute(WindowHandle parent, const QString& verb, const QString& file,
                      const QString& parameters, const QString& directory,
                      int showCommand) override;

private:
    bool internAtoms();

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    bool m_atomsInterned = false;
    std::uint32_t m_activeWindowAtom = 0;
    std::uint32_t m_wmStateAtom = 0;
    std::uint32_t m_wmStateAboveAtom = 0;
};

} // namespace varneth
