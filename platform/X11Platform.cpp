#include "X11Platform.h"

#include "CalculatorLauncher.h"

#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace varneth {

namespace {

// EWMH: _NET_WM_STATE actions and the source indication of a pager. The pager source
// is what makes window managers honour a request about another client's window instead
// of treating it as an application trying to promote itself.
constexpr std::uint32_t StateRemove = 0;
constexpr std::uint32_t StateAdd = 1;
constexpr std::uint32_t SourceApplication = 1;
constexpr std::uint32_t SourcePager = 2;
constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

// The device pixel ratio of the application's window with that native handle, or the
// primary screen's for a window that is not the application's.
qreal devicePixelRatioOf(WindowHandle handle)
{
    if (!qApp) {
        return 1;
    }
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (const QWindow* window : windows) {
        if (window->handle() && static_cast<WindowHandle>(window->winId()) == handle) {
            return window->devicePixelRatio();
        }
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->devicePixelRatio() : 1;
}

xcb_connection_t* applicationConnection()
{
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The root of the screen DISPLAY names, the one Qt opened its windows on.
std::uint32_t defaultRoot(xcb_connection_t* connection)
{
    if (!connection || xcb_connection_has_error(connection)) {
        return XCB_WINDOW_NONE;
    }
    int screenNumber = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screenNumber) == 0) {
        screenNumber = 0;
    }
    std::free(host);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem > 1; ++i) {
        xcb_screen_next(&it);
    }
    return it.rem > 0 ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

// A property of 32-bit items of the given type; empty when absent or of another type.
std::vector<std::uint32_t> readList(xcb_connection_t* connection, xcb_window_t window,
                                    xcb_atom_t property, xcb_atom_t type)
{
    std::vector<std::uint32_t> items;
    xcb_generic_error_t* error = nullptr;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 1024), &error);
    std::free(error);
    if (reply && reply->type == type && reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / 4;
        items.assign(data, data + count);
    }
    std::free(reply);
    return items;
}

void writeList(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
               xcb_atom_t type, const std::vector<std::uint32_t>& items)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, 32,
                        static_cast<std::uint32_t>(items.size()), items.data());
}

xcb_client_message_event_t clientMessage(std::uint32_t window, std::uint32_t type,
                                         std::uint8_t format)
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof(event));
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = format;
    event.window = window;
    event.type = type;
    return event;
}

// The X server's time now, as a client learns it: from the PropertyNotify of a change to
// a window of its own. Qt's connection cannot wait for an event here, since Qt reads its
// events, so a short connection of our own asks. 0 (CurrentTime) when the server is gone.
std::uint32_t serverTimeNow()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    std::uint32_t time = XCB_CURRENT_TIME;
    const std::uint32_t root = defaultRoot(connection);
    if (root != XCB_WINDOW_NONE) {
        const xcb_window_t window = xcb_generate_id(connection);
        const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &events);
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, XCB_ATOM_WM_NAME,
                            XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(connection);
        while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
            const bool notify = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
            if (notify) {
                time = reinterpret_cast<xcb_property_notify_event_t*>(event)->time;
            }
            std::free(event);
            if (notify) {
                break;
            }
        }
    }
    xcb_disconnect(connection);
    return time;
}

} // namespace

X11Platform::X11Platform() : X11Platform(applicationConnection(), 0)
{
    m_root = defaultRoot(m_connection);
}

X11Platform::X11Platform(xcb_connection_t* connection, std::uint32_t root)
    : m_connection(connection), m_root(root)
{
}

bool X11Platform::internAtoms()
{
    if (m_atomsInterned) {
        return true;
    }
    if (!m_connection || m_root == XCB_WINDOW_NONE || xcb_connection_has_error(m_connection)) {
        return false;
    }
    static constexpr std::array<const char*, AtomCount> names = {"_NET_ACTIVE_WINDOW",
                                                                 "_NET_WM_STATE",
                                                                 "_NET_WM_STATE_ABOVE",
                                                                 "_NET_WM_STATE_SKIP_TASKBAR",
                                                                 "_NET_WM_STATE_SKIP_PAGER",
                                                                 "_NET_WM_WINDOW_TYPE",
                                                                 "_NET_WM_WINDOW_TYPE_TOOLBAR",
                                                                 "_NET_WM_WINDOW_TYPE_UTILITY",
                                                                 "_NET_SUPPORTING_WM_CHECK",
                                                                 "_NET_WM_NAME",
                                                                 "UTF8_STRING",
                                                                 "_NET_FRAME_EXTENTS",
                                                                 "_NET_SUPPORTED",
                                                                 "_MOTIF_WM_HINTS",
                                                                 "_NET_STARTUP_ID",
                                                                 "_NET_STARTUP_INFO_BEGIN",
                                                                 "_NET_STARTUP_INFO",
                                                                 "WM_STATE",
                                                                 "_NET_WM_STATE_MAXIMIZED_VERT",
                                                                 "_NET_WM_STATE_MAXIMIZED_HORZ",
                                                                 "_NET_WM_STATE_FULLSCREEN",
                                                                 "_NET_WM_DESKTOP",
                                                                 "_NET_CURRENT_DESKTOP"};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    // All requests go out before the first reply is awaited: one round trip.
    for (std::size_t i = 0; i < names.size(); ++i) {
        cookies[i] = xcb_intern_atom(m_connection, 0,
                                     static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
    }
    bool all = true;
    for (std::size_t i = 0; i < names.size(); ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(m_connection, cookies[i], nullptr);
        m_atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        all = all && m_atoms[i] != XCB_ATOM_NONE;
        std::free(reply);
    }
    // A failed lookup is tried again on the next call rather than remembered as none.
    m_atomsInterned = all;
    return m_atomsInterned;
}

WindowHandle X11Platform::foregroundWindow()
{
    if (!internAtoms()) {
        return 0;
    }
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(m_connection, 0, m_root, atom(ActiveWindow), XCB_ATOM_WINDOW, 0, 1);
    xcb_generic_error_t* error = nullptr;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(m_connection, cookie, &error);
    std::free(error);
    WindowHandle window = 0;
    // Absent, of another type or None: no window is active.
    if (reply && reply->type == XCB_ATOM_WINDOW && reply->format == 32 &&
        xcb_get_property_value_length(reply) >= static_cast<int>(sizeof(xcb_window_t))) {
        window = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    return window;
}

void X11Platform::setTopmost(WindowHandle window, bool topmost)
{
    // No window, nothing to restack; the window manager would drop it anyway.
    if (window == 0 || !internAtoms()) {
        return;
    }
    // The window manager owns _NET_WM_STATE of a mapped window, so the change is a request
    // to it rather than a property write; it keeps the window's place and size.
    askWindowManager(static_cast<xcb_window_t>(window), WmState,
                     {topmost ? StateAdd : StateRemove, atom(WmStateAbove), 0, SourcePager});
    xcb_flush(m_connection);
}

bool X11Platform::isTopmost(WindowHandle window)
{
    if (window == 0 || !internAtoms()) {
        return false;
    }
    const std::vector<std::uint32_t> states =
        readList(m_connection, static_cast<xcb_window_t>(window), atom(WmState), XCB_ATOM_ATOM);
    return std::find(states.begin(), states.end(), atom(WmStateAbove)) != states.end();
}

void X11Platform::prepareToolWindow(WindowHandle window)
{
    if (window == 0 || !internAtoms()) {
        return;
    }
    const auto target = static_cast<xcb_window_t>(window);
    // The type is the client's to set at any time; both read it again when it changes.
    // openbox draws the iconify button for every type but a toolbar (and the few that
    // have no title bar), whatever the Motif hints say. KWin offers minimising to every
    // normal window and dialog that takes the keyboard; a utility window that is not
    // transient for a hidden window it leaves alone. Everywhere else a normal window is
    // best: weston's XWayland maps utility windows unmanaged, without the keyboard.
    const QByteArray manager = windowManagerName();
    if (manager.compare("Openbox", Qt::CaseInsensitive) == 0) {
        prependWindowType(target, atom(WmWindowTypeToolbar));
    } else if (manager.compare("KWin", Qt::CaseInsensitive) == 0) {
        prependWindowType(target, atom(WmWindowTypeUtility));
    }
    writeMotifHints(target);
    addStates(target, atom(WmStateSkipTaskbar), atom(WmStateSkipPager));
    xcb_flush(m_connection);
}

// Qt's Motif hints always allow resizing, which IceWM then offers; and a window menu,
// which xfwm4 and IceWM show as a button of its own. A fixed tool window has neither:
// moving and closing, a border and a title bar.
void X11Platform::writeMotifHints(std::uint32_t window)
{
    constexpr std::uint32_t functionsAndDecorations = (1u << 0) | (1u << 1);
    constexpr std::uint32_t move = 1u << 2;
    constexpr std::uint32_t close = 1u << 5;
    constexpr std::uint32_t border = 1u << 1;
    constexpr std::uint32_t title = 1u << 3;
    // flags, functions, decorations, input mode, status
    writeList(m_connection, window, atom(MotifWmHints), atom(MotifWmHints),
              {functionsAndDecorations, move | close, border | title, 0, 0});
}

std::optional<QPoint> X11Platform::frameTopLeft(WindowHandle window)
{
    if (window == 0 || !internAtoms()) {
        return std::nullopt;
    }
    const auto target = static_cast<xcb_window_t>(window);
    const xcb_translate_coordinates_cookie_t cookie =
        xcb_translate_coordinates(m_connection, target, m_root, 0, 0);
    // left, right, top, bottom; set by the window manager once it has framed the window.
    const std::vector<std::uint32_t> extents =
        readList(m_connection, target, atom(FrameExtents), XCB_ATOM_CARDINAL);
    xcb_translate_coordinates_reply_t* reply =
        xcb_translate_coordinates_reply(m_connection, cookie, nullptr);
    // The server counts device pixels; Qt places windows in device-independent ones.
    const qreal ratio = devicePixelRatioOf(window);
    std::optional<QPoint> topLeft;
    if (reply && reply->same_screen && extents.size() == 4) {
        topLeft = QPoint(qRound((reply->dst_x - int(extents[0])) / ratio),
                         qRound((reply->dst_y - int(extents[2])) / ratio));
    } else if (reply && reply->same_screen && !supports(FrameExtents) && isMapped(target) &&
               parentOf(target) == m_root) {
        // A window manager that frames with the X border alone (bspwm) does not list the
        // extents: the frame's corner is the border's, where the window's own position is.
        // Where it lists them, a window without them is not framed (yet).
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, target), nullptr);
        if (geometry) {
            topLeft = QPoint(qRound(geometry->x / ratio), qRound(geometry->y / ratio));
        }
        std::free(geometry);
    }
    std::free(reply);
    return topLeft;
}

// The position of a configure request is where the window's reference point goes (ICCCM
// 4.1.2.3, 4.1.5): with north-west gravity, which Qt gives a window on its first showing,
// the frame's top-left; with static gravity, which Qt gives it when it shows it again, the
// client's own top-left, inside the frame. Read while the window is still framed.
QPoint X11Platform::requestPosition(std::uint32_t window, QPoint frameTopLeft)
{
    QPoint device = (QPointF(frameTopLeft) * devicePixelRatioOf(window)).toPoint();
    // WM_SIZE_HINTS: flags first, win_gravity the last of its 18 items.
    constexpr std::uint32_t kGravityFlag = 1u << 9;
    const std::vector<std::uint32_t> hints =
        readList(m_connection, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS);
    if (hints.size() >= 18 && (hints[0] & kGravityFlag) && hints[17] == XCB_GRAVITY_STATIC) {
        const std::vector<std::uint32_t> extents =
            readList(m_connection, window, atom(FrameExtents), XCB_ATOM_CARDINAL);
        if (extents.size() == 4) {
            device += QPoint(int(extents[0]), int(extents[2]));
        }
    }
    return device;
}

void X11Platform::configurePosition(std::uint32_t window, QPoint device)
{
    const std::uint32_t values[] = {static_cast<std::uint32_t>(device.x()),
                                    static_cast<std::uint32_t>(device.y())};
    xcb_configure_window(m_connection, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
}

// Leaving out the size leaves it.
bool X11Platform::moveFrameTo(WindowHandle window, QPoint topLeft)
{
    if (window == 0 || !internAtoms()) {
        return false;
    }
    const auto target = static_cast<xcb_window_t>(window);
    configurePosition(target, requestPosition(target, topLeft));
    xcb_flush(m_connection);
    return true;
}

// Qt's own resize sends its notion of the position along, which is off by the border where
// the window manager frames with the X border (bspwm) or counts the frame otherwise (Window
// Maker): the window would creep by that much on every resize. A request with the size
// alone leaves the place to the window manager.
bool X11Platform::resizeInPlace(WindowHandle window, QSize size)
{
    if (window == 0 || !internAtoms()) {
        return false;
    }
    const QSize device = (QSizeF(size) * devicePixelRatioOf(window)).toSize();
    const std::uint32_t values[] = {static_cast<std::uint32_t>(device.width()),
                                    static_cast<std::uint32_t>(device.height())};
    xcb_configure_window(m_connection, static_cast<xcb_window_t>(window),
                         XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
    xcb_flush(m_connection);
    return true;
}

bool X11Platform::dropImposedStates(WindowHandle window)
{
    if (window == 0 || !internAtoms()) {
        return false;
    }
    const auto target = static_cast<xcb_window_t>(window);
    askWindowManager(
        target, WmState,
        {StateRemove, atom(WmStateMaximizedVert), atom(WmStateMaximizedHorz), SourceApplication});
    askWindowManager(target, WmState, {StateRemove, atom(WmStateFullscreen), 0, SourceApplication});
    xcb_flush(m_connection);
    return true;
}

bool X11Platform::remanage(WindowHandle window, QPoint topLeft)
{
    if (window == 0 || !internAtoms()) {
        return false;
    }
    const auto target = static_cast<xcb_window_t>(window);
    // The gravity's offset needs the frame, which is gone once the window is withdrawn.
    const QPoint position = requestPosition(target, topLeft);
    xcb_unmap_window(m_connection, target);
    // The synthetic UnmapNotify tells a reparenting window manager that the unmapping is
    // the client's withdrawal, not its own doing.
    xcb_unmap_notify_event_t unmap{};
    unmap.response_type = XCB_UNMAP_NOTIFY;
    unmap.event = m_root;
    unmap.window = target;
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&unmap));
    xcb_flush(m_connection);
    // The manager has let go once it has put the window back on the root and taken away
    // WM_STATE (or left it Withdrawn).
    bool released = false;
    for (int i = 0; i < 100 && !released; ++i) {
        const std::vector<std::uint32_t> state =
            readList(m_connection, target, atom(IcccmWmState), atom(IcccmWmState));
        released = parentOf(target) == m_root && (state.empty() || state.front() == 0);
        if (!released) {
            QThread::msleep(10);
        }
    }
    if (!released) {
        // Mapped again as it is, rather than left withdrawn with no window on screen.
        xcb_map_window(m_connection, target);
        xcb_flush(m_connection);
        return false;
    }
    // While withdrawn the states are the client's to set; the manager reads them at the map.
    std::vector<std::uint32_t> states =
        readList(m_connection, target, atom(WmState), XCB_ATOM_ATOM);
    std::erase_if(states, [this](std::uint32_t state) {
        return state == atom(WmStateMaximizedVert) || state == atom(WmStateMaximizedHorz) ||
               state == atom(WmStateFullscreen);
    });
    writeList(m_connection, target, atom(WmState), XCB_ATOM_ATOM, states);
    configurePosition(target, position);
    xcb_map_window(m_connection, target);
    xcb_flush(m_connection);
    return true;
}

std::uint32_t X11Platform::parentOf(std::uint32_t window)
{
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr);
    const std::uint32_t parent = tree ? tree->parent : std::uint32_t(XCB_WINDOW_NONE);
    std::free(tree);
    return parent;
}

bool X11Platform::canKeepOnTop()
{
    return internAtoms() && supports(WmStateAbove);
}

bool X11Platform::supports(Atom hint)
{
    const std::vector<std::uint32_t> supported =
        readList(m_connection, m_root, atom(Supported), XCB_ATOM_ATOM);
    return std::find(supported.begin(), supported.end(), atom(hint)) != supported.end();
}

bool X11Platform::isMapped(std::uint32_t window)
{
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
    const bool mapped = attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED;
    std::free(attributes);
    return mapped;
}

// EWMH names the window manager through a child window of its own that carries its name.
QByteArray X11Platform::windowManagerName()
{
    const std::vector<std::uint32_t> check =
        readList(m_connection, m_root, atom(SupportingWmCheck), XCB_ATOM_WINDOW);
    if (check.empty() || check.front() == XCB_WINDOW_NONE) {
        return {};
    }
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, check.front(), atom(WmName), atom(Utf8String), 0, 64),
        nullptr);
    QByteArray name;
    if (reply && reply->format == 8) {
        name = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                          xcb_get_property_value_length(reply));
    }
    std::free(reply);
    return name;
}

void X11Platform::addStates(std::uint32_t window, std::uint32_t first, std::uint32_t second)
{
    if (isMapped(window)) {
        // The window manager owns the state of a mapped window: ask it, as for topmost.
        askWindowManager(window, WmState, {StateAdd, first, second, SourcePager});
        return;
    }
    // Before mapping the property is the client's. Qt merges its own states (modal, above)
    // into what it finds there when it maps the window, so these survive the showing.
    std::vector<std::uint32_t> states =
        readList(m_connection, window, atom(WmState), XCB_ATOM_ATOM);
    for (const std::uint32_t state : {first, second}) {
        if (std::find(states.begin(), states.end(), state) == states.end()) {
            states.push_back(state);
        }
    }
    writeList(m_connection, window, atom(WmState), XCB_ATOM_ATOM, states);
}

// Window managers take the first type they know, so the rest stay as fallbacks.
void X11Platform::prependWindowType(std::uint32_t window, std::uint32_t type)
{
    std::vector<std::uint32_t> types =
        readList(m_connection, window, atom(WmWindowType), XCB_ATOM_ATOM);
    if (!types.empty() && types.front() == type) {
        return;
    }
    types.erase(std::remove(types.begin(), types.end(), type), types.end());
    types.insert(types.begin(), type);
    writeList(m_connection, window, atom(WmWindowType), XCB_ATOM_ATOM, types);
}

void X11Platform::activate(QWindow& window, const Activation& launch)
{
    if (!internAtoms()) {
        Platform::activate(window, launch);
        return;
    }
    const auto target = static_cast<xcb_window_t>(window.winId());
    const QByteArray startupId = launch.startupId.toUtf8();
    if (!startupId.isEmpty()) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, target, atom(StartupId),
                            atom(Utf8String), 8, static_cast<std::uint32_t>(startupId.size()),
                            startupId.constData());
    }
    // A window on another desktop comes to the one the user is on, as a pager moves it: a
    // plain activation request is left to the window manager, which may switch desktops,
    // bring the window over or only mark it as demanding attention, and a window without a
    // taskbar or pager entry would then never be seen. All desktops (0xFFFFFFFF) is left.
    const std::vector<std::uint32_t> current =
        readList(m_connection, m_root, atom(CurrentDesktop), XCB_ATOM_CARDINAL);
    const std::vector<std::uint32_t> desktop =
        readList(m_connection, target, atom(WmDesktop), XCB_ATOM_CARDINAL);
    if (!current.empty() && !desktop.empty() && desktop.front() != kAllDesktops &&
        desktop.front() != current.front()) {
        askWindowManager(target, WmDesktop, {current.front(), SourcePager});
    }
    if (window.windowStates() & Qt::WindowMinimized) {
        window.showNormal();
    }
    window.raise();
    // The last item: the active window of ours, and none of ours is.
    askWindowManager(target, ActiveWindow,
                     {SourceApplication,
                      launch.startupTime() ? *launch.startupTime() : serverTimeNow(),
                      XCB_WINDOW_NONE});
    sendStartupComplete(target, launch);
    xcb_flush(m_connection);
}

void X11Platform::completeLaunch(const Activation& launch)
{
    if (launch.startupId.isEmpty() || !internAtoms()) {
        return;
    }
    // Launchers take the message from any window of the sender; this one exists only for it.
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, -100, -100, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    sendStartupComplete(window, launch);
    xcb_destroy_window(m_connection, window);
    // A round trip: the process ends next, and the message must have reached the server.
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

void X11Platform::sendStartupComplete(std::uint32_t window, const Activation& launch)
{
    if (launch.startupId.isEmpty()) {
        return;
    }
    QByteArray quoted = launch.startupId.toUtf8();
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    sendStartupMessage(window, "remove: ID=\"" + quoted + '"');
}

// A client message about the window to the root, where the window manager listens (EWMH).
void X11Platform::askWindowManager(std::uint32_t window, Atom type,
                                   std::initializer_list<std::uint32_t> data)
{
    xcb_client_message_event_t event = clientMessage(window, atom(type), 32);
    std::copy(data.begin(), data.end(), event.data.data32);
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// The startup-notification protocol: the message, with its terminating zero, in pieces of
// 20 bytes, the first as _NET_STARTUP_INFO_BEGIN and the rest as _NET_STARTUP_INFO.
void X11Platform::sendStartupMessage(std::uint32_t window, const QByteArray& message)
{
    xcb_client_message_event_t event = clientMessage(window, atom(StartupInfoBegin), 8);
    const qsizetype length = message.size() + 1;
    for (qsizetype sent = 0; sent < length; sent += 20) {
        std::memset(event.data.data8, 0, sizeof(event.data.data8));
        std::memcpy(event.data.data8, message.constData() + sent,
                    static_cast<std::size_t>(std::min<qsizetype>(20, length - sent)));
        xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
        event.type = atom(StartupInfo);
    }
}

bool X11Platform::startCalculator()
{
    return CalculatorLauncher::launch();
}

} // namespace varneth
