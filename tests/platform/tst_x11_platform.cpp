#include "KeepOnTop.h"
#include "X11Platform.h"
#include "X11TestMain.h"

#include <QWidget>
#include <QtTest>
#include <algorithm>

using namespace varneth;

// The X11 backend against a real EWMH window manager (whichever of the eight that
// scripts/with-x11.sh starts, VARNETH_WM). The "other" window is a plain X client on the probe's
// connection, like another program's window. Every outcome is read back from the server.
class TestX11Platform : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { VARNETH_REQUIRE_X11_DESKTOP(m_x); }

    void init()
    {
        m_own = std::make_unique<QWidget>();
        m_own->setWindowTitle(QStringLiteral("own"));
        m_own->setGeometry(100, 100, 300, 200);
        m_own->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_own.get()));
        m_other = m_x.createWindow("other", 200, 150, 300, 200);
        // The window managers hand the focus to a new window once they have mapped its frame, some
        // (mutter, marco) only after its first drawing: the tests start once both are shown and
        // ours has the focus, so that no late focus change of the mapping falls into them.
        QVERIFY(m_x.waitUntilShown(own(), 5000) && m_x.waitUntilShown(m_other, 5000));
        QVERIFY(m_x.activateAndWait(own()));
    }

    void cleanup()
    {
        m_x.destroyWindow(m_other);
        m_other = XCB_WINDOW_NONE;
        m_own.reset();
    }

    void createdOnXcb() { QVERIFY(dynamic_cast<X11Platform*>(Platform::create().get())); }

    void foregroundIsActiveWindowProperty_data()
    {
        QTest::addColumn<QString>("active");
        QTest::newRow("own window") << "own";
        QTest::newRow("other program's window") << "other";
        QTest::newRow("none") << "none";
        QTest::newRow("property absent") << "absent";
    }
    void foregroundIsActiveWindowProperty()
    {
        QFETCH(QString, active);
        const xcb_window_t expected = active == u"own"     ? own()
                                      : active == u"other" ? m_other
                                                           : xcb_window_t(XCB_WINDOW_NONE);
        // xfwm4 works through the focus events of earlier requests for a while and may write
        // another window into the property and back meanwhile: arranging and reading are
        // repeated until the platform reads what the property held just before and after.
        X11Platform platform;
        WindowHandle read = 0;
        const bool consistent = QTest::qWaitFor(
            [&] {
                if (expected != XCB_WINDOW_NONE) {
                    m_x.activateAndWait(expected);
                } else {
                    arrangeNoActiveWindow(active == u"none");
                }
                if (m_x.activeWindow() != expected) {
                    return false;
                }
                read = platform.foregroundWindow();
                return m_x.activeWindow() == expected && read == WindowHandle(expected);
            },
            10000);
        QVERIFY2(consistent,
                 qPrintable(QString::asprintf("read 0x%llx for 0x%x", qulonglong(read), expected)));
    }

    void tickTakesAboveFromOtherActiveWindow()
    {
        QVERIFY(m_x.activateAndWait(m_other));
        if (!m_x.grantsAbove(m_other)) {
            // The ticks find out, stop asking, and never changed the other window's state.
            const QList<quint32> otherState = requestedState(m_other);
            X11Platform platform;
            KeepOnTop keepOnTop(platform);
            for (int tick = 0; tick <= KeepOnTop::kPatience; ++tick) {
                keepOnTop.tick(own());
                markAndWait();
            }
            QVERIFY(keepOnTop.desktopRefuses());
            QCOMPARE(requestedState(m_other), otherState);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(m_x.activeWindow() == m_other && isAbove(m_other), 5000);
        QVERIFY(!isAbove(own()));
        const QRect ownBefore = m_x.clientGeometry(own());
        const QRect otherBefore = m_x.clientGeometry(m_other);

        X11Platform platform;
        KeepOnTop(platform).tick(own());

        QTRY_VERIFY_WITH_TIMEOUT(!isAbove(m_other) && isAbove(own()), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(m_x.isStackedAbove(own(), m_other), 5000);
        QCOMPARE(m_x.clientGeometry(own()), ownBefore);
        QCOMPARE(m_x.clientGeometry(m_other), otherBefore);
    }

    void tickWithOwnWindowActiveChangesNothing()
    {
        // Set up so that any request the tick wrongly made would show: the other window is
        // above and would lose it (where the window manager grants it), ours is not and would
        // gain it.
        const bool granted = m_x.grantsAbove(m_other);
        QVERIFY(m_x.activateAndWait(own()));
        QTRY_VERIFY_WITH_TIMEOUT(m_x.activeWindow() == own() && isAbove(m_other) == granted, 5000);
        QVERIFY(!isAbove(own()));
        const QList<quint32> ownState = requestedState(own());
        const QList<quint32> otherState = requestedState(m_other);
        const QList<quint32> stackingBefore = m_x.frameStacking();

        X11Platform platform;
        QCOMPARE(platform.foregroundWindow(), WindowHandle(own()));
        KeepOnTop(platform).tick(own());
        markAndWait();

        QCOMPARE(requestedState(own()), ownState);
        QCOMPARE(requestedState(m_other), otherState);
        QCOMPARE(m_x.frameStacking(), stackingBefore);
    }

    void tickWithoutActiveWindowOnlyRaisesOwn_data()
    {
        QTest::addColumn<bool>("present");
        QTest::newRow("_NET_ACTIVE_WINDOW None") << true;
        QTest::newRow("_NET_ACTIVE_WINDOW absent") << false;
    }
    void tickWithoutActiveWindowOnlyRaisesOwn()
    {
        QFETCH(bool, present);
        const bool granted = m_x.grantsAbove(m_other);
        QVERIFY(arrangeNoActiveWindow(present));
        const QList<quint32> otherState = requestedState(m_other);

        X11Platform platform;
        QCOMPARE(platform.foregroundWindow(), WindowHandle(0));
        KeepOnTop(platform).tick(own());

        // Requests are handled in order: once ours is above (or the marker is set, where the
        // window manager grants no one the state), whatever the tick sent for the missing
        // foreground window has been handled too.
        if (granted) {
            QTRY_VERIFY_WITH_TIMEOUT(isAbove(own()), 5000);
        } else {
            markAndWait();
        }
        QCOMPARE(requestedState(m_other), otherState);
    }

    void canKeepOnTopAsTheRootLists_data()
    {
        QTest::addColumn<QString>("supported");
        QTest::newRow("as the window manager lists it") << "listed";
        QTest::newRow("without _NET_WM_STATE_ABOVE (sway's XWayland)") << "without";
        QTest::newRow("_NET_SUPPORTED absent") << "absent";
    }
    void canKeepOnTopAsTheRootLists()
    {
        QFETCH(QString, supported);
        const QList<quint32> listed = m_x.property(m_x.root(), "_NET_SUPPORTED", XCB_ATOM_ATOM);
        QVERIFY(listed.contains(m_x.atom("_NET_WM_STATE_ABOVE")));
        if (supported == u"without") {
            QList<quint32> without = listed;
            without.removeAll(m_x.atom("_NET_WM_STATE_ABOVE"));
            m_x.setProperty(m_x.root(), "_NET_SUPPORTED", XCB_ATOM_ATOM, without);
        } else if (supported == u"absent") {
            m_x.deleteProperty(m_x.root(), "_NET_SUPPORTED");
        }

        const bool can = X11Platform().canKeepOnTop();
        m_x.setProperty(m_x.root(), "_NET_SUPPORTED", XCB_ATOM_ATOM, listed);
        QCOMPARE(can, supported == u"listed");
    }

    void frameTopLeftIsTheServers()
    {
        X11Platform platform;
        QTRY_VERIFY_WITH_TIMEOUT(m_x.isManaged(own()), 5000);
        const std::optional<QPoint> framed = platform.frameTopLeft(own());
        QVERIFY(framed.has_value());
        QCOMPARE(*framed, m_x.frameTopLeft(own()));

        // A native window never shown has no frame: Qt's own notion is all there is.
        QWidget unshown;
        QVERIFY(!platform.frameTopLeft(unshown.winId()).has_value());
    }

private:
    xcb_window_t own() const { return static_cast<xcb_window_t>(m_own->winId()); }
    bool isAbove(xcb_window_t window) { return m_x.hasState(window, "_NET_WM_STATE_ABOVE"); }
    // The states a request can change, sorted: without _NET_WM_STATE_FOCUSED, which the
    // window manager moves with the focus as it settles, and the markers.
    QList<quint32> requestedState(xcb_window_t window)
    {
        QList<quint32> states = m_x.wmState(window);
        for (const char* state :
             {"_NET_WM_STATE_FOCUSED", X11Probe::kMarkers[0], X11Probe::kMarkers[1]}) {
            states.removeAll(m_x.atom(state));
        }
        std::sort(states.begin(), states.end());
        return states;
    }

    // Once the window manager has acted on a marker sent after the tick's requests (or after
    // focus events of its own), it has acted on those too.
    void markAndWait()
    {
        X11Probe::syncApplication();
        QVERIFY(m_x.markAndWait(m_other));
    }

    // Stands in for a desktop where no window has the focus: _NET_ACTIVE_WINDOW None, or
    // absent. Written again until one round trip through the window manager has left the
    // property as written: it may still write it from focus events of its own (marco).
    bool arrangeNoActiveWindow(bool present)
    {
        const char* const name = "_NET_ACTIVE_WINDOW";
        return QTest::qWaitFor(
            [&] {
                if (present) {
                    m_x.setProperty(m_x.root(), name, XCB_ATOM_WINDOW, {XCB_WINDOW_NONE});
                } else {
                    m_x.deleteProperty(m_x.root(), name);
                }
                markAndWait();
                const QList<quint32> value = m_x.property(m_x.root(), name, XCB_ATOM_WINDOW);
                return present ? value == QList<quint32>({XCB_WINDOW_NONE}) : value.isEmpty();
            },
            10000);
    }

    X11Probe m_x;
    std::unique_ptr<QWidget> m_own;
    xcb_window_t m_other = XCB_WINDOW_NONE;
};

VARNETH_X11_TEST_MAIN(TestX11Platform)
#include "tst_x11_platform.moc"
