#include "KeepOnTop.h"
#include "X11Platform.h"

#include <QApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <QtTest>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

using namespace varneth;

namespace {

struct Placement
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Placement&) const = default;
};

char* toString(const Placement& p)
{
    return QTest::toString(
        QStringLiteral("%1x%2+%3+%4").arg(p.width).arg(p.height).arg(p.x).arg(p.y));
}

} // namespace

// The X11 backend against a real EWMH window manager (openbox on Xvfb, from
// scripts/with-x11.sh). The "other" window is a plain X client on a connection of the
// test's own, like another program's window. Every outcome is read back from the server.
class TestX11Platform : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void createdOnXcb();
    void foregroundIsActiveWindowProperty_data();
    void foregroundIsActiveWindowProperty();
    void tickTakesAboveFromOtherActiveWindow();
    void tickWithOwnWindowActiveChangesNothing();
    void tickWithoutActiveWindowOnlyRaisesOwn_data();
    void tickWithoutActiveWindowOnlyRaisesOwn();

private:
    xcb_atom_t atom(const char* name);
    QList<quint32> property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type);
    QList<quint32> wmState(xcb_window_t window) { return property(window, m_state, XCB_ATOM_ATOM); }
    bool isAbove(xcb_window_t window) { return wmState(window).contains(m_above); }
    xcb_window_t activeWindow();
    QList<quint32> stacking() { return property(m_root, m_stacking, XCB_ATOM_WINDOW); }
    bool isManaged(xcb_window_t window)
    {
        return property(m_root, m_clientList, XCB_ATOM_WINDOW).contains(window);
    }
    Placement placement(xcb_window_t window);
    void sendToRoot(xcb_window_t window, xcb_atom_t type, quint32 l0, quint32 l1, quint32 l2,
                    quint32 l3);
    void activate(xcb_window_t window);
    void setAbove(xcb_window_t window, bool above);
    void setActiveProperty(bool present);
    void syncApplicationConnection();
    void markAndWait();
    xcb_window_t own() const { return static_cast<xcb_window_t>(m_own->winId()); }

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_active = XCB_ATOM_NONE;
    xcb_atom_t m_state = XCB_ATOM_NONE;
    xcb_atom_t m_above = XCB_ATOM_NONE;
    xcb_atom_t m_attention = XCB_ATOM_NONE;
    xcb_atom_t m_stacking = XCB_ATOM_NONE;
    xcb_atom_t m_clientList = XCB_ATOM_NONE;
    std::unique_ptr<QWidget> m_own;
    xcb_window_t m_other = XCB_WINDOW_NONE;
};

xcb_atom_t TestX11Platform::atom(const char* name)
{
    const auto length = static_cast<uint16_t>(std::strlen(name));
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, length, name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

QList<quint32> TestX11Platform::property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    QList<quint32> values;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, name, type, 0, 1024), nullptr);
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / 4;
        values = QList<quint32>(data, data + count);
    }
    std::free(reply);
    return values;
}

xcb_window_t TestX11Platform::activeWindow()
{
    const QList<quint32> values = property(m_root, m_active, XCB_ATOM_WINDOW);
    return values.isEmpty() ? xcb_window_t(XCB_WINDOW_NONE) : values.first();
}

// Where the window manager shows the client, in root coordinates, and its size.
Placement TestX11Platform::placement(xcb_window_t window)
{
    Placement result;
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
    xcb_translate_coordinates_reply_t* position = xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr);
    if (geometry && position) {
        result = {position->dst_x, position->dst_y, geometry->width, geometry->height};
    }
    std::free(geometry);
    std::free(position);
    return result;
}

void TestX11Platform::sendToRoot(xcb_window_t window, xcb_atom_t type, quint32 l0, quint32 l1,
                                 quint32 l2, quint32 l3)
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof(event));
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = l0;
    event.data.data32[1] = l1;
    event.data.data32[2] = l2;
    event.data.data32[3] = l3;
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(m_connection);
}

// As a pager asks: the window manager honours it without focus-stealing checks.
void TestX11Platform::activate(xcb_window_t window)
{
    sendToRoot(window, m_active, 2, XCB_CURRENT_TIME, 0, 0);
}

void TestX11Platform::setAbove(xcb_window_t window, bool above)
{
    sendToRoot(window, m_state, above ? 1 : 0, m_above, 0, 2);
}

// Stands in for a desktop where no window has the focus: _NET_ACTIVE_WINDOW None or absent.
void TestX11Platform::setActiveProperty(bool present)
{
    if (present) {
        const xcb_window_t none = XCB_WINDOW_NONE;
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, m_active, XCB_ATOM_WINDOW,
                            32, 1, &none);
    } else {
        xcb_delete_property(m_connection, m_root, m_active);
    }
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

// Waits until the server has handled everything sent on the application's connection.
void TestX11Platform::syncApplicationConnection()
{
    xcb_connection_t* connection =
        qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

// The window manager handles client messages in the order the server delivers them, so once
// it has acted on a marker sent after the tick's requests it has acted on those too.
void TestX11Platform::markAndWait()
{
    syncApplicationConnection();
    sendToRoot(m_other, m_state, 1, m_attention, 0, 2);
    QTRY_VERIFY_WITH_TIMEOUT(wmState(m_other).contains(m_attention), 5000);
}

void TestX11Platform::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    QVERIFY(xcb_connection_has_error(m_connection) == 0);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber; ++i) {
        xcb_screen_next(&screens);
    }
    m_root = screens.data->root;
    m_active = atom("_NET_ACTIVE_WINDOW");
    m_state = atom("_NET_WM_STATE");
    m_above = atom("_NET_WM_STATE_ABOVE");
    m_attention = atom("_NET_WM_STATE_DEMANDS_ATTENTION");
    m_stacking = atom("_NET_CLIENT_LIST_STACKING");
    m_clientList = atom("_NET_CLIENT_LIST");
    QVERIFY2(!property(m_root, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW).isEmpty(),
             "no EWMH window manager: run under scripts/with-x11.sh");
}

void TestX11Platform::cleanupTestCase()
{
    xcb_disconnect(m_connection);
}

void TestX11Platform::init()
{
    m_own = std::make_unique<QWidget>();
    m_own->setWindowTitle(QStringLiteral("own"));
    m_own->setGeometry(100, 100, 300, 200);
    m_own->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_own.get()));

    m_other = xcb_generate_id(m_connection);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    const quint32 values[] = {screen->white_pixel};
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_other, m_root, 200, 150, 300, 200, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL,
                      values);
    const char name[] = "other";
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_other, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, sizeof(name) - 1, name);
    xcb_map_window(m_connection, m_other);
    xcb_flush(m_connection);

    QTRY_VERIFY_WITH_TIMEOUT(isManaged(own()) && isManaged(m_other), 5000);
}

void TestX11Platform::cleanup()
{
    xcb_destroy_window(m_connection, m_other);
    xcb_flush(m_connection);
    m_other = XCB_WINDOW_NONE;
    m_own.reset();
}

void TestX11Platform::createdOnXcb()
{
    const std::unique_ptr<Platform> platform = Platform::create();
    QVERIFY(dynamic_cast<X11Platform*>(platform.get()) != nullptr);
}

void TestX11Platform::foregroundIsActiveWindowProperty_data()
{
    QTest::addColumn<QString>("active");

    QTest::newRow("own window") << "own";
    QTest::newRow("other program's window") << "other";
    QTest::newRow("none") << "none";
    QTest::newRow("property absent") << "absent";
}

void TestX11Platform::foregroundIsActiveWindowProperty()
{
    QFETCH(QString, active);
    xcb_window_t expected = XCB_WINDOW_NONE;
    if (active == QLatin1String("own") || active == QLatin1String("other")) {
        expected = active == QLatin1String("own") ? own() : m_other;
        activate(expected);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), expected, 5000);
    } else {
        setActiveProperty(active == QLatin1String("none"));
    }

    X11Platform platform;
    QCOMPARE(platform.foregroundWindow(), WindowHandle(expected));
    QCOMPARE(platform.foregroundWindow(), WindowHandle(activeWindow()));
}

void TestX11Platform::tickTakesAboveFromOtherActiveWindow()
{
    activate(m_other);
    setAbove(m_other, true);
    QTRY_VERIFY_WITH_TIMEOUT(activeWindow() == m_other && isAbove(m_other), 5000);
    QVERIFY(!isAbove(own()));
    const Placement ownBefore = placement(own());
    const Placement otherBefore = placement(m_other);

    X11Platform platform;
    KeepOnTop(platform).tick(own());

    QTRY_VERIFY_WITH_TIMEOUT(!isAbove(m_other) && isAbove(own()), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(stacking().indexOf(own()) > stacking().indexOf(m_other), 5000);
    QCOMPARE(placement(own()), ownBefore);
    QCOMPARE(placement(m_other), otherBefore);
}

void TestX11Platform::tickWithOwnWindowActiveChangesNothing()
{
    // Set up so that any request the tick wrongly made would show: the other window is
    // above and would lose it, ours is not and would gain it.
    setAbove(m_other, true);
    activate(own());
    QTRY_VERIFY_WITH_TIMEOUT(activeWindow() == own() && isAbove(m_other), 5000);
    QVERIFY(!isAbove(own()));
    const QList<quint32> ownState = wmState(own());
    const QList<quint32> otherState = wmState(m_other);
    const QList<quint32> stackingBefore = stacking();

    X11Platform platform;
    QCOMPARE(platform.foregroundWindow(), WindowHandle(own()));
    KeepOnTop(platform).tick(own());
    markAndWait();

    QCOMPARE(wmState(own()), ownState);
    QList<quint32> otherAfter = wmState(m_other);
    otherAfter.removeAll(m_attention);
    QCOMPARE(otherAfter, otherState);
    QCOMPARE(stacking(), stackingBefore);
}

void TestX11Platform::tickWithoutActiveWindowOnlyRaisesOwn_data()
{
    QTest::addColumn<bool>("present");

    QTest::newRow("_NET_ACTIVE_WINDOW None") << true;
    QTest::newRow("_NET_ACTIVE_WINDOW absent") << false;
}

void TestX11Platform::tickWithoutActiveWindowOnlyRaisesOwn()
{
    QFETCH(bool, present);
    setAbove(m_other, true);
    QTRY_VERIFY_WITH_TIMEOUT(isAbove(m_other), 5000);
    setActiveProperty(present);
    const QList<quint32> otherState = wmState(m_other);

    X11Platform platform;
    QCOMPARE(platform.foregroundWindow(), WindowHandle(0));
    KeepOnTop(platform).tick(own());

    // Requests are handled in order: once ours is above, whatever the tick sent for the
    // missing foreground window has been handled too.
    QTRY_VERIFY_WITH_TIMEOUT(isAbove(own()), 5000);
    QCOMPARE(wmState(m_other), otherState);
}

QTEST_MAIN(TestX11Platform)
#include "tst_x11_platform.moc"
