#pragma once

#include <QByteArray>
#include <QGuiApplication>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace varneth {

// Reads what the X server and the window manager hold about windows, over a connection
// of its own as another program would, and sends the requests a window manager, a pager
// or another program sends. Tests read state here rather than from Qt's bookkeeping.
class X11Probe
{
public:
    // WM_NORMAL_HINTS as ICCCM lays it out; only the fields the tests look at.
    struct SizeHints
    {
        bool hasMin = false;
        bool hasMax = false;
        QSize min;
        QSize max;
    };

    // On $DISPLAY, or on the display named.
    explicit X11Probe(const char* display = nullptr)
    {
        int screenNumber = 0;
        m_connection = xcb_connect(display, &screenNumber);
        if (xcb_connection_has_error(m_connection)) {
            return;
        }
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < screenNumber && screens.rem > 1; ++i) {
            xcb_screen_next(&screens);
        }
        m_screen = screens.data;
        m_root = m_screen->root;
    }
    ~X11Probe()
    {
        for (xcb_window_t window : m_ownWindows) {
            xcb_destroy_window(m_connection, window);
        }
        xcb_disconnect(m_connection);
    }
    X11Probe(const X11Probe&) = delete;
    X11Probe& operator=(const X11Probe&) = delete;

    bool isConnected() const { return m_screen != nullptr; }
    xcb_window_t root() const { return m_root; }

    xcb_atom_t atom(const char* name)
    {
        const auto length = static_cast<uint16_t>(std::strlen(name));
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, length, name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

    QList<quint32> property(xcb_window_t window, const char* name, xcb_atom_t type)
    {
        QList<quint32> values;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, atom(name), type, 0, 1024),
            nullptr);
        if (reply && reply->format == 32 && reply->type == type) {
            const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply));
            const int count = xcb_get_property_value_length(reply) / 4;
            values = QList<quint32>(data, data + count);
        }
        std::free(reply);
        return values;
    }

    QByteArray text(xcb_window_t window, const char* name, xcb_atom_t type)
    {
        QByteArray value;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, atom(name), type, 0, 1024),
            nullptr);
        if (reply && reply->format == 8 && reply->type == type) {
            value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
        }
        std::free(reply);
        return value;
    }

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

    xcb_window_t activeWindow()
    {
        const QList<quint32> values = property(m_root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
        return values.isEmpty() ? xcb_window_t(XCB_WINDOW_NONE) : values.first();
    }
    QList<quint32> clientList() { return property(m_root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW); }
    // Bottom to top, as the window manager stacks its clients.
    QList<quint32> stacking()
    {
        return property(m_root, "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW);
    }
    bool hasWindowManager()
    {
        return !property(m_root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).isEmpty();
    }
    // The name the window manager gives itself (EWMH): "Openbox", "KWin", "IceWM 3.3.1 ...".
    QByteArray windowManagerName()
    {
        const QList<quint32> check = property(m_root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
        return check.isEmpty() ? QByteArray()
                               : text(check.first(), "_NET_WM_NAME", atom("UTF8_STRING"));
    }
    // Whether the window manager lists the hint in the root's _NET_SUPPORTED.
    bool supports(const char* name)
    {
        return property(m_root, "_NET_SUPPORTED", XCB_ATOM_ATOM).contains(atom(name));
    }

    // The root's children, bottom to top: the frames as the server stacks them. Some window
    // managers (IceWM, Fluxbox) leave their always-on-top layer out of
    // _NET_CLIENT_LIST_STACKING; this is what the user sees.
    QList<quint32> frameStacking() { return children(m_root); }
    // The root's child that holds the window: its frame, or itself when unframed.
    xcb_window_t frameOf(xcb_window_t window)
    {
        for (;;) {
            xcb_query_tree_reply_t* reply =
                xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr);
            const xcb_window_t parent = reply ? reply->parent : xcb_window_t(XCB_WINDOW_NONE);
            std::free(reply);
            if (parent == m_root || parent == XCB_WINDOW_NONE) {
                return window;
            }
            window = parent;
        }
    }
    bool isStackedAbove(xcb_window_t upper, xcb_window_t lower)
    {
        const QList<quint32> frames = frameStacking();
        return frames.indexOf(frameOf(upper)) > frames.indexOf(frameOf(lower));
    }

    // Managed and framed: in the client list, with the frame extents set.
    bool isManaged(xcb_window_t window)
    {
        return clientList().contains(window) &&
               property(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL).size() == 4;
    }
    bool isViewable(xcb_window_t window)
    {
        xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
            m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
        const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(reply);
        return viewable;
    }

    // Bottom to top, as the server stacks them.
    QList<xcb_window_t> children(xcb_window_t window)
    {
        QList<xcb_window_t> result;
        xcb_query_tree_reply_t* reply =
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr);
        if (reply) {
            const xcb_window_t* data = xcb_query_tree_children(reply);
            result = QList<xcb_window_t>(data, data + xcb_query_tree_children_length(reply));
        }
        std::free(reply);
        return result;
    }
    // Menus and tooltips: windows the window manager leaves alone.
    bool isOverrideRedirect(xcb_window_t window)
    {
        xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
            m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
        const bool result = reply && reply->override_redirect;
        std::free(reply);
        return result;
    }

    QSize clientSize(xcb_window_t window)
    {
        xcb_get_geometry_reply_t* reply =
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        const QSize size = reply ? QSize(reply->width, reply->height) : QSize();
        std::free(reply);
        return size;
    }

    // Where the client itself is shown, in root coordinates, and its size.
    QRect clientGeometry(xcb_window_t window)
    {
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        xcb_translate_coordinates_reply_t* position = xcb_translate_coordinates_reply(
            m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr);
        QRect result;
        if (geometry && position) {
            result = QRect(position->dst_x, position->dst_y, geometry->width, geometry->height);
        }
        std::free(geometry);
        std::free(position);
        return result;
    }

    // The top-left of the frame the window manager drew: the client's place on the root
    // less the left and top frame extents.
    QPoint frameTopLeft(xcb_window_t window)
    {
        const QList<quint32> extents = property(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
        xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(
            m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr);
        QPoint result(-100000, -100000);
        if (reply && extents.size() == 4) {
            result = QPoint(reply->dst_x - int(extents.at(0)), reply->dst_y - int(extents.at(2)));
        }
        std::free(reply);
        return result;
    }

    // A real click of the first button at a place on the root, through the XTest extension,
    // as the user's mouse makes it. The pointer goes back where it was: a window manager
    // may focus what lies under it when a window closes (xfwm4), and a later test's
    // windows could lie there.
    void click(const QPoint& onRoot)
    {
        xcb_query_pointer_reply_t* pointer =
            xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr);
        const QPoint before = pointer ? QPoint(pointer->root_x, pointer->root_y) : QPoint();
        std::free(pointer);
        movePointer(onRoot);
        for (const quint8 type : {XCB_BUTTON_PRESS, XCB_BUTTON_RELEASE}) {
            xcb_test_fake_input(m_connection, type, 1, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
        }
        movePointer(before);
        sync();
    }
    void movePointer(const QPoint& onRoot)
    {
        xcb_test_fake_input(m_connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root,
                            qint16(onRoot.x()), qint16(onRoot.y()), 0);
    }
    // A real key press and release of the key that types the (Latin-1) character without
    // a modifier, through the XTest extension; false when no key types it.
    bool typeKey(char character)
    {
        const xcb_setup_t* setup = xcb_get_setup(m_connection);
        const quint8 count = quint8(setup->max_keycode - setup->min_keycode + 1);
        xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
            m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, count),
            nullptr);
        quint8 keycode = 0;
        if (mapping) {
            const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping);
            for (int i = 0; i < count && keycode == 0; ++i) {
                // The first symbol of each key is the one it types without a modifier.
                if (symbols[i * mapping->keysyms_per_keycode] == xcb_keysym_t(character)) {
                    keycode = quint8(setup->min_keycode + i);
                }
            }
        }
        std::free(mapping);
        if (keycode == 0) {
            return false;
        }
        for (const quint8 type : {XCB_KEY_PRESS, XCB_KEY_RELEASE}) {
            xcb_test_fake_input(m_connection, type, keycode, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0,
                                0, 0);
        }
        sync();
        return true;
    }

    SizeHints normalHints(xcb_window_t window)
    {
        // flags, x, y, width, height, min w/h, max w/h, ...
        const QList<quint32> hints = property(window, "WM_NORMAL_HINTS", XCB_ATOM_WM_SIZE_HINTS);
        SizeHints result;
        if (hints.size() >= 9) {
            constexpr quint32 minSize = 1u << 4;
            constexpr quint32 maxSize = 1u << 5;
            result.hasMin = hints.at(0) & minSize;
            result.hasMax = hints.at(0) & maxSize;
            result.min = QSize(int(hints.at(5)), int(hints.at(6)));
            result.max = QSize(int(hints.at(7)), int(hints.at(8)));
        }
        return result;
    }

    // Another program's request for a new size; the window manager decides.
    void resize(xcb_window_t window, const QSize& size)
    {
        const quint32 values[] = {quint32(size.width()), quint32(size.height())};
        xcb_configure_window(m_connection, window,
                             XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
        xcb_flush(m_connection);
    }

    // A client message to the root, as pagers and other programs send them.
    void sendToRoot(xcb_window_t window, const char* type, quint32 l0, quint32 l1 = 0,
                    quint32 l2 = 0, quint32 l3 = 0)
    {
        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof(event));
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom(type);
        event.data.data32[0] = l0;
        event.data.data32[1] = l1;
        event.data.data32[2] = l2;
        event.data.data32[3] = l3;
        xcb_send_event(m_connection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(m_connection);
    }

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
    bool activateAndWait(xcb_window_t window, int timeoutMs = 10000)
    {
        for (int waited = 0; waited < timeoutMs; waited += 250) {
            activate(window);
            if (QTest::qWaitFor([&] { return activeWindow() == window; }, 250)) {
                return true;
            }
        }
        return false;
    }
    // A window manager's _NET_WM_PING. The client answers from its event loop, so once the
    // answer is back it has handled every event the server queued for it before the ping.
    // Qt answers to the root for StructureNotify (besides the window manager's redirect).
    bool ping(xcb_window_t window, int timeoutMs = 10000)
    {
        const quint32 listen = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &listen);
        const xcb_atom_t protocols = atom("WM_PROTOCOLS");
        const xcb_atom_t ping = atom("_NET_WM_PING");
        const quint32 token = ++m_pings;
        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof(event));
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = protocols;
        event.data.data32[0] = ping;
        event.data.data32[1] = XCB_CURRENT_TIME;
        event.data.data32[2] = window;
        event.data.data32[3] = token; // the answer echoes the whole message
        xcb_send_event(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(m_connection);
        bool seen = false;
        const bool answered = QTest::qWaitFor(
            [&] {
                while (xcb_generic_event_t* next = xcb_poll_for_event(m_connection)) {
                    const auto* reply = reinterpret_cast<xcb_client_message_event_t*>(next);
                    seen =
                        seen || ((next->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                                 reply->type == protocols && reply->data.data32[0] == ping &&
                                 reply->data.data32[2] == window && reply->data.data32[3] == token);
                    std::free(next);
                }
                return seen;
            },
            timeoutMs);
        const quint32 none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &none);
        sync();
        return answered;
    }

    void setState(xcb_window_t window, const char* state, bool on)
    {
        sendToRoot(window, "_NET_WM_STATE", on ? 1 : 0, atom(state), 0, 2);
    }
    void setAbove(xcb_window_t window, bool above)
    {
        setState(window, "_NET_WM_STATE_ABOVE", above);
    }

    // Writes or removes a property directly, as a window manager does on the root, and
    // waits until the server has done it.
    void setProperty(xcb_window_t window, const char* name, xcb_atom_t type,
                     const QList<quint32>& values)
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(name), type, 32,
                            quint32(values.size()), values.constData());
        sync();
    }
    void deleteProperty(xcb_window_t window, const char* name)
    {
        xcb_delete_property(m_connection, window, atom(name));
        sync();
    }

    // A plain top-level window of this connection: another program's window.
    xcb_window_t createWindow(const QByteArray& name, int x, int y, int width, int height)
    {
        const xcb_window_t window = xcb_generate_id(m_connection);
        const quint32 values[] = {m_screen->white_pixel};
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, qint16(x), qint16(y),
                          quint16(width), quint16(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          m_screen->root_visual, XCB_CW_BACK_PIXEL, values);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                            XCB_ATOM_STRING, 8, quint32(name.size()), name.constData());
        xcb_map_window(m_connection, window);
        xcb_flush(m_connection);
        m_ownWindows.append(window);
        return window;
    }
    // The window's user time set to the server's time now, as a program does on each key
    // press or click in it: window managers refuse the focus to any request older. Returns
    // that time.
    quint32 touchUserTime(xcb_window_t window)
    {
        const quint32 listen = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &listen);
        const xcb_atom_t userTime = atom("_NET_WM_USER_TIME");
        xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, window, userTime, XCB_ATOM_CARDINAL,
                            32, 0, nullptr);
        xcb_flush(m_connection);
        quint32 now = XCB_CURRENT_TIME;
        while (now == XCB_CURRENT_TIME) {
            xcb_generic_event_t* event = xcb_wait_for_event(m_connection);
            if (!event) {
                return now;
            }
            const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify->atom == userTime) {
                now = notify->time;
            }
            std::free(event);
        }
        setProperty(window, "_NET_WM_USER_TIME", XCB_ATOM_CARDINAL, {now});
        return now;
    }
    void destroyWindow(xcb_window_t window)
    {
        m_ownWindows.removeAll(window);
        xcb_destroy_window(m_connection, window);
        xcb_flush(m_connection);
    }

    // Waits until the server has handled everything this connection sent so far.
    void sync()
    {
        xcb_flush(m_connection);
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    // Waits until the server has handled everything the application sent so far.
    static void syncApplication()
    {
        xcb_connection_t* connection =
            qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        xcb_flush(connection);
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_screen_t* m_screen = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    QList<xcb_window_t> m_ownWindows;
    quint32 m_pings = 0;
};

} // namespace varneth
