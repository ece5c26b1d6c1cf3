#include "X11Probe.h"

#include <QGuiApplication>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xtest.h>

namespace varneth {

namespace {

// xcb's replies are malloc()ed.
template <class Reply> std::unique_ptr<Reply, decltype(&std::free)> own(Reply* reply)
{
    return {reply, &std::free};
}

// The reply to a request of this connection, freed with it: REPLY(query_tree, window).
#define REPLY(request, ...)                                                                        \
    own(xcb_##request##_reply(m_connection, xcb_##request(m_connection, __VA_ARGS__), nullptr))

// Sends a client message of 32-bit items about the window to the destination.
void sendMessage(xcb_connection_t* connection, xcb_window_t destination, quint32 eventMask,
                 xcb_window_t window, xcb_atom_t type, std::initializer_list<quint32> items)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::copy(items.begin(), items.end(), event.data.data32);
    xcb_send_event(connection, 0, destination, eventMask, reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

} // namespace

X11Probe::X11Probe(const char* display)
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

X11Probe::~X11Probe()
{
    for (xcb_window_t window : m_ownWindows) {
        xcb_destroy_window(m_connection, window);
    }
    xcb_disconnect(m_connection);
}

xcb_atom_t X11Probe::atom(const char* name)
{
    const auto reply = REPLY(intern_atom, 0, uint16_t(std::strlen(name)), name);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QList<quint32> X11Probe::property(xcb_window_t window, const char* name, xcb_atom_t type)
{
    const auto reply = REPLY(get_property, 0, window, atom(name), type, 0, 1024);
    if (!reply || reply->format != 32 || reply->type != type) {
        return {};
    }
    const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply.get()));
    return QList<quint32>(data, data + xcb_get_property_value_length(reply.get()) / 4);
}

QByteArray X11Probe::text(xcb_window_t window, const char* name, xcb_atom_t type)
{
    const auto reply = REPLY(get_property, 0, window, atom(name), type, 0, 1024);
    if (!reply || reply->format != 8 || reply->type != type) {
        return {};
    }
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

void X11Probe::setProperty(xcb_window_t window, const char* name, xcb_atom_t type,
                           const QList<quint32>& values)
{
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(name), type, 32,
                        quint32(values.size()), values.constData());
    sync();
}

void X11Probe::deleteProperty(xcb_window_t window, const char* name)
{
    xcb_delete_property(m_connection, window, atom(name));
    sync();
}

QByteArray X11Probe::windowManagerName()
{
    const QList<quint32> check = rootProperty("_NET_SUPPORTING_WM_CHECK");
    return check.isEmpty() ? QByteArray()
                           : text(check.first(), "_NET_WM_NAME", atom("UTF8_STRING"));
}

bool X11Probe::supports(const char* name)
{
    return rootProperty("_NET_SUPPORTED", XCB_ATOM_ATOM).contains(atom(name));
}

bool X11Probe::isManaged(xcb_window_t window)
{
    // A window manager that does not list the extents (bspwm) never sets them: the client
    // list is all it tells.
    return clientList().contains(window) &&
           (property(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL).size() == 4 ||
            !supports("_NET_FRAME_EXTENTS"));
}

X11Probe::SizeHints X11Probe::normalHints(xcb_window_t window)
{
    // flags, x, y, width, height, min w/h, max w/h, ...
    const QList<quint32> hints = property(window, "WM_NORMAL_HINTS", XCB_ATOM_WM_SIZE_HINTS);
    if (hints.size() < 9) {
        return {};
    }
    constexpr quint32 minSize = 1u << 4;
    constexpr quint32 maxSize = 1u << 5;
    return {bool(hints.at(0) & minSize), bool(hints.at(0) & maxSize),
            QSize(int(hints.at(5)), int(hints.at(6))), QSize(int(hints.at(7)), int(hints.at(8)))};
}

QList<xcb_window_t> X11Probe::children(xcb_window_t window)
{
    const auto tree = REPLY(query_tree, window);
    if (!tree) {
        return {};
    }
    const xcb_window_t* data = xcb_query_tree_children(tree.get());
    return QList<xcb_window_t>(data, data + xcb_query_tree_children_length(tree.get()));
}

xcb_window_t X11Probe::frameOf(xcb_window_t window)
{
    for (;;) {
        const auto tree = REPLY(query_tree, window);
        if (!tree || tree->parent == m_root || tree->parent == XCB_WINDOW_NONE) {
            return window;
        }
        window = tree->parent;
    }
}

bool X11Probe::isStackedAbove(xcb_window_t upper, xcb_window_t lower)
{
    const QList<quint32> frames = frameStacking();
    return frames.indexOf(frameOf(upper)) > frames.indexOf(frameOf(lower));
}

bool X11Probe::isViewable(xcb_window_t window)
{
    const auto attributes = REPLY(get_window_attributes, window);
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

bool X11Probe::isOverrideRedirect(xcb_window_t window)
{
    const auto attributes = REPLY(get_window_attributes, window);
    return attributes && attributes->override_redirect;
}

QSize X11Probe::clientSize(xcb_window_t window)
{
    const auto geometry = REPLY(get_geometry, window);
    return geometry ? QSize(geometry->width, geometry->height) : QSize();
}

std::optional<QPoint> X11Probe::rootPosition(xcb_window_t window)
{
    const auto place = REPLY(translate_coordinates, window, m_root, 0, 0);
    return place ? std::optional(QPoint(place->dst_x, place->dst_y)) : std::nullopt;
}

QRect X11Probe::clientGeometry(xcb_window_t window)
{
    const QSize size = clientSize(window);
    const std::optional<QPoint> position = rootPosition(window);
    return size.isValid() && position ? QRect(*position, size) : QRect();
}

QPoint X11Probe::frameTopLeft(xcb_window_t window)
{
    const QList<quint32> extents = property(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
    const std::optional<QPoint> position = rootPosition(window);
    if (position && extents.size() == 4) {
        return *position - QPoint(int(extents.at(0)), int(extents.at(2)));
    }
    // A window manager that sets no extents (bspwm) and leaves the window on the root frames
    // it with the X border alone. Where it does set them, a window without them is not framed
    // yet, and its place says nothing of the frame's.
    const auto geometry = REPLY(get_geometry, window);
    if (position && geometry && frameOf(window) == window && !supports("_NET_FRAME_EXTENTS")) {
        return *position - QPoint(geometry->border_width, geometry->border_width);
    }
    return QPoint(-100000, -100000);
}

bool X11Probe::waitUntilShown(xcb_window_t window, int timeoutMs)
{
    return QTest::qWaitFor([&] { return isManaged(window) && isViewable(window); }, timeoutMs);
}

// Active as the window manager says it, and holding the keyboard: some managers (awesome)
// publish the active window before the focus has moved.
bool X11Probe::isActive(xcb_window_t window)
{
    if (!isManaged(window) || activeWindow() != window) {
        return false;
    }
    const auto focus =
        own(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    xcb_window_t at = focus ? focus->focus : xcb_window_t(XCB_WINDOW_NONE);
    while (at != window && at != XCB_WINDOW_NONE && at != m_root && at != 1) {
        const auto tree = REPLY(query_tree, at);
        at = tree ? tree->parent : xcb_window_t(XCB_WINDOW_NONE);
    }
    return at == window;
}

bool X11Probe::waitUntilActive(xcb_window_t window, int timeoutMs)
{
    return QTest::qWaitFor([&] { return isActive(window); }, timeoutMs);
}

void X11Probe::click(const QPoint& onRoot)
{
    const auto pointer = REPLY(query_pointer, m_root);
    const QPoint before = pointer ? QPoint(pointer->root_x, pointer->root_y) : QPoint();
    movePointer(onRoot);
    for (const quint8 type : {XCB_BUTTON_PRESS, XCB_BUTTON_RELEASE}) {
        xcb_test_fake_input(m_connection, type, 1, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    }
    movePointer(before);
    sync();
}

void X11Probe::movePointer(const QPoint& onRoot)
{
    xcb_test_fake_input(m_connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root,
                        qint16(onRoot.x()), qint16(onRoot.y()), 0);
}

bool X11Probe::typeKey(char character)
{
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const auto mapping = REPLY(get_keyboard_mapping, setup->min_keycode, quint8(count));
    if (!mapping) {
        return false;
    }
    // The first symbol of each key is the one it types without a modifier.
    const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
    int key = 0;
    while (key < count && symbols[key * mapping->keysyms_per_keycode] != xcb_keysym_t(character)) {
        ++key;
    }
    if (key == count) {
        return false;
    }
    for (const quint8 type : {XCB_KEY_PRESS, XCB_KEY_RELEASE}) {
        xcb_test_fake_input(m_connection, type, quint8(setup->min_keycode + key), XCB_CURRENT_TIME,
                            XCB_WINDOW_NONE, 0, 0, 0);
    }
    sync();
    return true;
}

void X11Probe::resize(xcb_window_t window, const QSize& size)
{
    const quint32 values[] = {quint32(size.width()), quint32(size.height())};
    xcb_configure_window(m_connection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(m_connection);
}

void X11Probe::sendToRoot(xcb_window_t window, const char* type, quint32 l0, quint32 l1, quint32 l2,
                          quint32 l3)
{
    sendMessage(m_connection, m_root,
                XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, window,
                atom(type), {l0, l1, l2, l3});
}

bool X11Probe::markAndWait(xcb_window_t window, int timeoutMs)
{
    const bool set = !isMarked(window);
    sendToRoot(window, "_NET_WM_STATE", set ? 1 : 0, atom(kMarkers[0]), atom(kMarkers[1]), 2);
    return QTest::qWaitFor([&] { return isMarked(window) == set; }, timeoutMs);
}

bool X11Probe::activateAndWait(xcb_window_t window, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 250) {
        activate(window);
        if (QTest::qWaitFor([&] { return isActive(window); }, 250)) {
            return true;
        }
    }
    return false;
}

bool X11Probe::awaitEvent(int timeoutMs,
                          const std::function<bool(const xcb_generic_event_t&)>& wanted)
{
    bool seen = false;
    return QTest::qWaitFor(
        [&] {
            while (xcb_generic_event_t* next = xcb_poll_for_event(m_connection)) {
                seen = seen || wanted(*next);
                std::free(next);
            }
            return seen;
        },
        timeoutMs);
}

bool X11Probe::ping(xcb_window_t window, int timeoutMs)
{
    // Qt answers to the root for StructureNotify (besides the window manager's redirect).
    const quint32 listen = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &listen);
    const xcb_atom_t protocols = atom("WM_PROTOCOLS");
    const xcb_atom_t ping = atom("_NET_WM_PING");
    const quint32 token = ++m_pings; // the answer echoes the whole message
    sendMessage(m_connection, window, XCB_EVENT_MASK_NO_EVENT, window, protocols,
                {ping, XCB_CURRENT_TIME, window, token});
    const bool answered = awaitEvent(timeoutMs, [&](const xcb_generic_event_t& next) {
        const auto& reply = reinterpret_cast<const xcb_client_message_event_t&>(next);
        return (next.response_type & 0x7f) == XCB_CLIENT_MESSAGE && reply.type == protocols &&
               reply.data.data32[0] == ping && reply.data.data32[2] == window &&
               reply.data.data32[3] == token;
    });
    const quint32 none = XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &none);
    sync();
    return answered;
}

xcb_window_t X11Probe::createWindow(const QByteArray& name, int x, int y, int width, int height,
                                    bool fixed)
{
    const xcb_window_t window = xcb_generate_id(m_connection);
    const quint32 values[] = {m_screen->white_pixel};
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, qint16(x), qint16(y),
                      quint16(width), quint16(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      m_screen->root_visual, XCB_CW_BACK_PIXEL, values);
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, quint32(name.size()), name.constData());
    if (fixed) {
        // flags (program position, minimum and maximum size), x, y, width, height, min, max
        const quint32 hints[18] = {(1u << 2) | (1u << 4) | (1u << 5),
                                   quint32(x),
                                   quint32(y),
                                   quint32(width),
                                   quint32(height),
                                   quint32(width),
                                   quint32(height),
                                   quint32(width),
                                   quint32(height)};
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
    }
    xcb_map_window(m_connection, window);
    xcb_flush(m_connection);
    m_ownWindows.append(window);
    return window;
}

void X11Probe::destroyWindow(xcb_window_t window)
{
    m_ownWindows.removeAll(window);
    xcb_destroy_window(m_connection, window);
    xcb_flush(m_connection);
}

quint32 X11Probe::touchUserTime(xcb_window_t window)
{
    const quint32 listen = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &listen);
    const xcb_atom_t userTime = atom("_NET_WM_USER_TIME");
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, window, userTime, XCB_ATOM_CARDINAL, 32,
                        0, nullptr);
    xcb_flush(m_connection);
    quint32 now = XCB_CURRENT_TIME;
    awaitEvent(10000, [&](const xcb_generic_event_t& next) {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(next);
        if ((next.response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify.atom == userTime) {
            now = notify.time;
        }
        return now != XCB_CURRENT_TIME;
    });
    setProperty(window, "_NET_WM_USER_TIME", XCB_ATOM_CARDINAL, {now});
    return now;
}

void X11Probe::roundTrip(xcb_connection_t* connection)
{
    xcb_flush(connection);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

void X11Probe::syncApplication()
{
    roundTrip(qApp->nativeInterface<QNativeInterface::QX11Application>()->connection());
}

} // namespace varneth
