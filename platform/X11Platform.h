#pragma once

#include "Platform.h"

#include <QByteArray>
#include <cstdint>
#include <initializer_list>

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
    // Whether the window's _NET_WM_STATE, which the window manager keeps, has
    // _NET_WM_STATE_ABOVE.
    bool isTopmost(WindowHandle window) override;
    bool startCalculator() override;
    // Adds _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER, as a property while the
    // window is unmapped and as a request to the window manager once it is mapped, and
    // Motif hints that allow moving and closing only, with a border and a title bar but
    // no window menu. The window keeps the type Qt gave it (normal, or dialog for an
    // owned window) except under the two window managers that decide minimising by the
    // type alone: openbox gets a toolbar, KWin a utility window.
    void prepareToolWindow(WindowHandle window) override;
    // The client's place on the root, as the server has it, less the left and top
    // _NET_FRAME_EXTENTS. Qt's cached position can be off by the border where a window
    // manager's synthetic ConfigureNotify leaves it out (IceWM). nullopt while the window
    // is not framed by a window manager.
    // Where the window manager frames with the X border alone and does not list the
    // extents in _NET_SUPPORTED (bspwm), the border's corner of a mapped window.
    std::optional<QPoint> frameTopLeft(WindowHandle window) override;
    bool moveFrameTo(WindowHandle window, QPoint topLeft) override;
    bool resizeInPlace(WindowHandle window, QSize size) override;
    // The request Qt makes too, but with Qt's own notion of the state left alone: that one
    // follows _NET_WM_STATE as the manager publishes it, whether or not it obeys.
    bool dropImposedStates(WindowHandle window) override;
    // Withdraws the window as ICCCM 4.1.4 has a client do it, waits (a second at most) until
    // the window manager has let go of it, and maps it again at that place with no
    // maximised or full-screen state.
    bool remanage(WindowHandle window, QPoint topLeft) override;
    // Whether the window manager lists _NET_WM_STATE_ABOVE in the root's _NET_SUPPORTED.
    bool canKeepOnTop() override;
    // Asks the window manager to activate the window (_NET_ACTIVE_WINDOW) as a request of
    // the application, with the time of the user's launch: the startup id's time where the
    // launcher gave one, else the X server's time now. KWin, mutter and xfwm4 refuse the
    // focus to a request older than the user's last action in another window, and Qt's
    // own request would carry the time of the last event this program saw. A window on
    // another desktop is first moved to the current one (_NET_WM_DESKTOP, as a pager asks),
    // and a minimised one is restored. The startup id also goes on the window and its
    // launch is reported complete, which ends the launcher's busy feedback.
    void activate(QWindow& window, const Activation& launch) override;
    // Sends the startup-notification "remove:" for the launch's startup id, from a window
    // made for it: the id's "new:" came from the launcher.
    void completeLaunch(const Activation& launch) override;

private:
    enum Atom
    {
        ActiveWindow,
        WmState,
        WmStateAbove,
        WmStateSkipTaskbar,
        WmStateSkipPager,
        WmWindowType,
        WmWindowTypeToolbar,
        WmWindowTypeUtility,
        SupportingWmCheck,
        WmName,
        Utf8String,
        FrameExtents,
        Supported,
        MotifWmHints,
        StartupId,
        StartupInfoBegin,
        StartupInfo,
        IcccmWmState,
        WmStateMaximizedVert,
        WmStateMaximizedHorz,
        WmStateFullscreen,
        WmDesktop,
        CurrentDesktop,
        AtomCount
    };

    bool internAtoms();
    std::uint32_t atom(Atom which) const { return m_atoms[which]; }
    // Whether the window manager lists the hint in the root's _NET_SUPPORTED.
    bool supports(Atom hint);
    bool isMapped(std::uint32_t window);
    std::uint32_t parentOf(std::uint32_t window);
    // The device position a configure request needs to put the frame's top-left there.
    QPoint requestPosition(std::uint32_t window, QPoint frameTopLeft);
    void configurePosition(std::uint32_t window, QPoint device);
    QByteArray windowManagerName();
    void writeMotifHints(std::uint32_t window);
    void addStates(std::uint32_t window, std::uint32_t first, std::uint32_t second);
    void prependWindowType(std::uint32_t window, std::uint32_t type);
    void askWindowManager(std::uint32_t window, Atom type,
                          std::initializer_list<std::uint32_t> data);
    void sendStartupMessage(std::uint32_t window, const QByteArray& message);
    void sendStartupComplete(std::uint32_t window, const Activation& launch);

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    bool m_atomsInterned = false;
    std::uint32_t m_atoms[AtomCount] = {};
};

} // namespace varneth
