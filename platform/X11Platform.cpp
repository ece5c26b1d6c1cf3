#include "X11Platform.h"

#include "CalculatorLauncher.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <array>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace varneth {

namespace {

// EWMH: _NET_WM_STATE actions and the source indication of a pager. The pager source
// is what makes window managers honour a request about another client's window instead
// of treating it as an application trying to promote itself.
constexpr std::uint32_t StateRemove = 0;
constexpr std::uint32_t StateAdd = 1;
constexpr std::uint32_t SourcePager = 2;

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
    static constexpr std::array<const char*, 3> names = {"_NET_ACTIVE_WINDOW", "_NET_WM_STATE",
                                                         "_NET_WM_STATE_ABOVE"};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    // All three requests go out before the first reply is awaited: one round trip.
    for (std::size_t i = 0; i < names.size(); ++i) {
        cookies[i] = xcb_intern_atom(m_connection, 0,
                                     static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
    }
    std::array<xcb_atom_t, names.size()> atoms{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(m_connection, cookies[i], nullptr);
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }
    m_activeWindowAtom = atoms[0];
    m_wmStateAtom = atoms[1];
    m_wmStateAboveAtom = atoms[2];
    // A failed lookup is tried again on the next call rather than remembered as none.
    m_atomsInterned = m_activeWindowAtom != XCB_ATOM_NONE && m_wmStateAtom != XCB_ATOM_NONE &&
                      m_wmStateAboveAtom != XCB_ATOM_NONE;
    return m_atomsInterned;
}

WindowHandle X11Platform::foregroundWindow()
{
    if (!internAtoms()) {
        return 0;
    }
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(m_connection, 0, m_root, m_activeWindowAtom, XCB_ATOM_WINDOW, 0, 1);
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
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof(event));
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window);
    event.type = m_wmStateAtom;
    event.data.data32[0] = topmost ? StateAdd : StateRemove;
    event.data.data32[1] = m_wmStateAboveAtom;
    event.data.data32[2] = 0;
    event.data.data32[3] = SourcePager;
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(m_connection);
}

void X11Platform::shellExecute(WindowHandle /*parent*/, const QString& verb, const QString& file,
                               const QString& parameters, const QString& directory,
                               int /*showCommand*/)
{
    CalculatorLauncher::launch(verb, file, parameters, directory);
}

} // namespace varneth
