#include "MainWindow.h"
#include "MainWindowController.h"
#include "Settings.h"
#include "StoreFailureReporter.h"
#include "WindowHarness.h"
#include "X11Platform.h"
#include "X11Probe.h"
#include "X11TestMain.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace varneth;

namespace {

// The windows over the X11 backend, started the way the program starts them.
struct Harness : WindowHarness<X11Platform>
{
    using WindowHarness::WindowHarness;
    xcb_window_t id() const { return static_cast<xcb_window_t>(window.winId()); }
};

} // namespace

// The main window under a real window manager (openbox on Xvfb, from scripts/with-x11.sh):
// where it is placed, the hints its frame carries and the close the window manager sends,
// all read back from the X server.
class TestX11MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VARNETH_REQUIRE_X11();
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(m_x.isConnected());
        QVERIFY2(!m_x.property(m_x.root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).isEmpty(),
                 "no EWMH window manager: run under scripts/with-x11.sh");
        // The stored twips below are whole pixels at the usual 96 dpi that Xvfb reports.
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
    }

    void mappedAsAFixedToolWindowAndClosedByTheWindowManager()
    {
        Harness h({{"MainLeft", "3000"}, {"MainTop", "1500"}});
        h.controller.load();
        QSignalSpy closed(&h.controller, &MainWindowController::closed);
        h.window.show();
        h.window.activateWindow();
        const xcb_window_t own = h.id();
        QTRY_VERIFY_WITH_TIMEOUT(m_x.isManaged(own) && m_x.isViewable(own), 10000);

        // Placed at the stored frame position: 3000 and 1500 twips are 200 and 100 pixels.
        QTRY_COMPARE_WITH_TIMEOUT(m_x.frameTopLeft(own), QPoint(200, 100), 10000);

        // Not resizable: the size hints pin the client size, and the window manager offers
        // neither resizing nor maximising, nor minimising, only closing.
        const QSize client = m_x.clientSize(own);
        QCOMPARE(client, h.window.size());
        const X11Probe::SizeHints hints = m_x.normalHints(own);
        QVERIFY(hints.hasMin && hints.hasMax);
        QCOMPARE(hints.min, client);
        QCOMPARE(hints.max, client);
        const QList<quint32> actions = m_x.allowedActions(own);
        QVERIFY(actions.contains(m_x.atom("_NET_WM_ACTION_CLOSE")));
        QVERIFY(actions.contains(m_x.atom("_NET_WM_ACTION_MOVE")));
        for (const char* absent : {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ",
                                   "_NET_WM_ACTION_MAXIMIZE_VERT", "_NET_WM_ACTION_MINIMIZE",
                                   "_NET_WM_ACTION_FULLSCREEN"}) {
            QVERIFY2(!actions.contains(m_x.atom(absent)), absent);
        }

        // No taskbar button, and no pager entry either.
        QVERIFY(m_x.hasState(own, "_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(m_x.hasState(own, "_NET_WM_STATE_SKIP_PAGER"));

        const QByteArray caption("HOLBRECK - VARNETH");
        QCOMPARE(m_x.text(own, "_NET_WM_NAME", m_x.atom("UTF8_STRING")), caption);
        QCOMPARE(m_x.text(own, "WM_NAME", XCB_ATOM_STRING), caption);

        // Without a taskbar entry openbox would not focus it by itself; it asked to be active.
        QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), own, 10000);

        // The field row ends above the status bar at the default height.
        const QStatusBar* status = h.window.findChild<QStatusBar*>("sbStatusBar");
        QVERIFY(status);
        QCOMPARE(status->geometry().bottom(), h.window.height() - 1);
        QCOMPARE(status->width(), h.window.width());
        for (QLineEdit* field : h.window.findChildren<QLineEdit*>()) {
            QVERIFY2(field->geometry().bottom() < status->geometry().top(),
                     qPrintable(field->objectName()));
        }

        // The window manager's close runs the close sequence, which stores the place as it is.
        m_x.closeThroughWindowManager(own);
        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 10000);
        QVERIFY(!h.window.isVisible());
        QCOMPARE(
            h.store.writtenKeys(),
            QStringList({"MainLeft", "MainTop", "MainWidth", "MainHeight", "EXCHANGE_RATE_TEXTBOX",
                         "AMOUNT_IN_WALLET_1", "CURRENT_DOLLAR_VALUATION_1"}));
        QCOMPARE(h.stored("MainLeft"), QString("3000"));
        QCOMPARE(h.stored("MainTop"), QString("1500"));
        QCOMPARE(h.stored("MainWidth"), QString("10440"));
        QCOMPARE(h.stored("MainHeight"), QString("1995"));
        QVERIFY(h.shown.isEmpty());
    }

private:
    X11Probe m_x;
};

VARNETH_X11_TEST_MAIN(TestX11MainWindow)
#include "tst_x11_main_window.moc"
