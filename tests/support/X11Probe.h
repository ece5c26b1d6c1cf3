#pragma once

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <functional>
#include <optional>
#include <xcb/xcb.h>

namespace varneth {

// Reads what the X server and the window manager hold about windows, over a connection
// of its own as another program would, and sends the requests a window manager, a pager
// or another program sends, with real key presses and clicks through XTest. Tests read
// state here rather than from Qt's bookkeeping. It shares no code with the program's own
// X11 backend, which it checks.
class X11Probe
{
public:
    // WM_NORMAL_HINTS as ICCCM lays it out; only the fields the tests look at.
    struct SizeHints
    {
        bool hasMin = false, hasMax = false;
        QSize min, max;
    };

    // On $DISPLAY, or on the display named.
    explicit X11Probe(const char* display = nullptr);
    ~X11Probe();
    Q_DISABLE_COPY(X11Probe)

    bool isConnected() const { return m_screen != nullptr; }
    xcb_window_t root() const { return m_root; }
    xcb_atom_t atom(const char* name);

    // Properties: of 32-bit items, or text; empty when absent or of another type.
    QList<quint32> property(xcb_window_t window, const char* name, xcb_atom_t type);
    QByteArray text(xcb_window_t window, const char* name, xcb_atom_t type);
    // Writes or removes a property as a window manager does on the root, and waits until
    // the server has done it.
    void setProperty(xcb_window_t window, const char* name, xcb_atom_t type,
                     const QList<quint32>& values);
    void deleteProperty(xcb_window_t window, const char* name);

    // The window manager's view (EWMH).
    QList<quint32> wmState(xcb_window_t window)
    {
        return property(window, "_NET_WM_STATE", XCB_ATOM_ATOM);
    }
    bool hasState(xcb_window_t window, const char* state)
    {
        return wmState(window).contains(atom(state));
    }
    QList<quint32> allowedActions(xcb_window_t window)
    {
        return property(window, "_NET_WM_ALLOWED_ACTIONS", XCB_ATOM_ATOM);
    }
    xcb_window_t activeWindow() { return rootProperty("_NET_ACTIVE_WINDOW").value(0); }
    QList<quint32> clientList() { return rootProperty("_NET_CLIENT_LIST"); }
    bool hasWindowManager() { return !rootProperty("_NET_SUPPORTING_WM_CHECK").isEmpty(); }
    // The name it gives itself: "Openbox", "KWin", "IceWM 3.3.1 ...".
    QByteArray windowManagerName();
    // fvwm's default configuration reads neither the Motif function hints (its default style
    // FvwmFunctions) nor the OpenLook ones, and of the window types only dock and desktop take
    // iconifying and maximising away: it offers both to every window, whatever the client asks.
    bool offersMinimizeAndMaximizeToAll() { return windowManagerName() == "FVWM"; }
    // Whether it lists the hint in the root's _NET_SUPPORTED.
    bool supports(const char* name);
    // Managed and framed: in the client list, with the frame extents set where the window
    // manager lists them.
    bool isManaged(xcb_window_t window);
    SizeHints normalHints(xcb_window_t window);

    // The server's view. Stacking is bottom to top; the root's children are the frames as
    // the user sees them: some window managers (IceWM, Fluxbox) leave their always-on-top
    // layer out of _NET_CLIENT_LIST_STACKING.
    QList<xcb_window_t> children(xcb_window_t window);
    QList<quint32> frameStacking() { return children(m_root); }
    // The root's child that holds the window: its frame, or itself when unframed.
    xcb_window_t frameOf(xcb_window_t window);
    bool isStackedAbove(xcb_window_t upper, xcb_window_t lower);
    bool isViewable(xcb_window_t window);
    // Menus and tooltips: windows the window manager leaves alone.
    bool isOverrideRedirect(xcb_window_t window);
    QSize clientSize(xcb_window_t window);
    // Where the client itself is shown, in root coordinates, and its size.
    QRect clientGeometry(xcb_window_t window);
    // The top-left of the frame the window manager drew: the client's place on the root
    // less the left and top frame extents, or less the X border where it sets none.
    QPoint frameTopLeft(xcb_window_t window);

    // Waits, up to the time given, until the window manager has the window managed and
    // shown, or active.
    bool waitUntilShown(xcb_window_t window, int timeoutMs = 10000);
    bool waitUntilActive(xcb_window_t window, int timeoutMs = 10000);
    bool isActive(xcb_window_t window);

    // The user's hand, through XTest. A click of the first button at a place on the root;
    // the pointer goes back where it was: a window manager may focus what lies under it
    // when a window closes (xfwm4), and a later test's windows could lie there.
    void click(const QPoint& onRoot);
    void movePointer(const QPoint& onRoot);
    // A press and release of the key that types the (Latin-1) character without a
    // modifier; false when no key types it.
    bool typeKey(char character);

    // Requests as other programs send them; the window manager decides.
    void resize(xcb_window_t window, const QSize& size);
    void sendToRoot(xcb_window_t window, const char* type, quint32 l0, quint32 l1 = 0,
                    quint32 l2 = 0, quint32 l3 = 0);
    // The user's close through the window manager: it answers with WM_DELETE_WINDOW.
    void closeThroughWindowManager(xcb_window_t window)
    {
        sendToRoot(window, "_NET_CLOSE_WINDOW", XCB_CURRENT_TIME, 2);
    }
    // As a pager asks: honoured without focus-stealing checks.
    void activate(xcb_window_t window)
    {
        sendToRoot(window, "_NET_ACTIVE_WINDOW", 2, XCB_CURRENT_TIME);
    }
    // Activates the window and waits until the window manager reports it active, asking
    // again now and then: a window manager still busy with a newly mapped window may hand
    // the focus to that one after our request.
    bool activateAndWait(xcb_window_t window, int timeoutMs = 10000);
    void setState(xcb_window_t window, const char* state, bool on)
    {
        sendToRoot(window, "_NET_WM_STATE", on ? 1 : 0, atom(state), 0, 2);
    }
    void setAbove(xcb_window_t window, bool above)
    {
        setState(window, "_NET_WM_STATE_ABOVE", above);
    }
    // The window manager handles requests in the order the server delivers them: once it has
    // acted on a marker sent after others, it has acted on those too. The marker is two
    // states that change no stacking, asked for in one request, of which every window manager
    // here sets at least one: mutter and metacity refuse "demands attention" for a window in
    // plain view, fluxbox ignores "skip pager", fvwm every skip state but sets "sticky". It
    // toggles, so every call waits for a change; false when none came in time.
    bool markAndWait(xcb_window_t window, int timeoutMs = 5000);
    static constexpr std::array<const char*, 2> kMarkers = {"_NET_WM_STATE_SKIP_TASKBAR",
                                                            "_NET_WM_STATE_STICKY"};
    bool isMarked(xcb_window_t window)
    {
        return hasState(window, kMarkers[0]) || hasState(window, kMarkers[1]);
    }
    // Whether the window manager grants _NET_WM_STATE_ABOVE to a request for the window, a
    // plain one of another program. fvwm lists the state but, with its default style
    // EWMHIgnoreStackingOrderHints, ignores every request for it, whatever the source.
    bool grantsAbove(xcb_window_t window)
    {
        setAbove(window, true);
        return markAndWait(window) && hasState(window, "_NET_WM_STATE_ABOVE");
    }
    // A window manager's _NET_WM_PING. The client answers from its event loop, so once the
    // answer is back it has handled every event the server queued for it before the ping.
    bool ping(xcb_window_t window, int timeoutMs = 10000);

    // A plain top-level window of this connection: another program's window. A fixed one
    // has its size pinned by its hints, as ours are: a tiling window manager (bspwm) then
    // floats it with ours, where it can come above them.
    xcb_window_t createWindow(const QByteArray& name, int x, int y, int width, int height,
                              bool fixed = false);
    void destroyWindow(xcb_window_t window);
    // The window's user time set to the server's time now, as a program does on each key
    // press or click in it: window managers refuse the focus to any request older. Returns
    // that time.
    quint32 touchUserTime(xcb_window_t window);

    // Waits until the server has handled everything this connection, or the application's,
    // sent so far.
    void sync() { roundTrip(m_connection); }
    static void syncApplication();

private:
    static void roundTrip(xcb_connection_t* connection);
    QList<quint32> rootProperty(const char* name, xcb_atom_t type = XCB_ATOM_WINDOW)
    {
        return property(m_root, name, type);
    }
    // The client's place on the root; null when the window is gone.
    std::optional<QPoint> rootPosition(xcb_window_t window);
    // Reads this connection's events until one is wanted, up to the time given.
    bool awaitEvent(int timeoutMs, const std::function<bool(const xcb_generic_event_t&)>& wanted);

    xcb_connection_t* m_connection = nullptr;
    xcb_screen_t* m_screen = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    QList<xcb_window_t> m_ownWindows;
    quint32 m_pings = 0;
};

} // namespace varneth
