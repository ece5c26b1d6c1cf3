#include "IntervalTimer.h"
#include "KeepOnTop.h"
#include "ProgramHarness.h"
#include "X11Platform.h"
#include "X11TestMain.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

using namespace varneth;

namespace {

const QString kCleared = QStringLiteral("00000000.00000000");

// A key pressed and released on whatever has the keyboard focus in the active window.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = QApplication::focusWidget();
    QVERIFY2(target, "no widget has the keyboard focus");
    QTest::keyClick(target, key, modifiers);
}

} // namespace

// The whole program under a real window manager (whichever of the eight that
// scripts/with-x11.sh starts, VARNETH_WM), driven from the keyboard as a user would, with
// the window manager's close, and checked against the X server and the store file.
class TestX11SettingsFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VARNETH_REQUIRE_X11_DESKTOP(m_x);
        VARNETH_REQUIRE_96_DPI();
    }

    void keyboardSettingsSessionUnderTheWindowManager()
    {
        ProgramHarness<X11Platform> h({{"AMOUNT_IN_WALLET_1", "2"},
                                       {"CURRENT_DOLLAR_VALUATION_1", "3"},
                                       {"EXCHANGE_RATE_TEXTBOX", "0.5"},
                                       {"SettingsScreenLeft", "1500"},
                                       {"SettingsScreenTop", "3000"}});
        h.showWindow(); // started as main() starts the program
        const auto main = xcb_window_t(h.window.winId());
        QVERIFY(m_x.waitUntilActive(main));
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), &h.window, 10000);
        QVERIFY(!isAbove(main));

        // The focus starts in the exchange rate; one step back is the settings button.
        QCOMPARE(QApplication::focusWidget(),
                 h.window.findChild<QWidget*>("EXCHANGE_RATE_TEXTBOX"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), h.window.settingsButton());

        bool insideRan = false;
        // Runs once the modal settings window is up, inside its event loop.
        whenModalShows([&](SettingsWindow* dialog) {
            const auto settings = xcb_window_t(dialog->winId());

            // Modal over the main window, framed like it, where the store put it, and active.
            QVERIFY(m_x.waitUntilActive(settings));
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), dialog, 10000);
            // Window Maker and bspwm do not list the modal state, and leave it out.
            QVERIFY(!m_x.supports("_NET_WM_STATE_MODAL") ||
                    m_x.hasState(settings, "_NET_WM_STATE_MODAL"));
            QVERIFY(m_x.hasState(settings, "_NET_WM_STATE_SKIP_TASKBAR"));
            QVERIFY(m_x.offersMinimizeAndMaximizeToAll() ||
                    !m_x.allowedActions(settings).contains(m_x.atom("_NET_WM_ACTION_MINIMIZE")));
            QCOMPARE(m_x.property(settings, "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW),
                     QList<quint32>({main}));
            // Where a manager places it by its own rule (bspwm centres a dialog, awesome
            // keeps it clear of others), it goes back there.
            QTRY_COMPARE_WITH_TIMEOUT(m_x.frameTopLeft(settings), QPoint(100, 200), 10000);
            QCOMPARE(QApplication::focusWidget(), dialog->okButton());

            press(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), dialog->alwaysOnTopBox());
            press(Qt::Key_Space);
            QVERIFY(dialog->alwaysOnTopBox()->isChecked());
            QVERIFY(h.window.alwaysOnTopTimer()->isRunning());
            QCOMPARE(h.stored("AlwaysOnTopTimer_TICKBOX"), QString("1"));

            // Another program's always-on-top window becomes active, with the timer held so it
            // cannot take the group back half-way. Once running again, the timer's next tick takes
            // the group from it and puts the main window above it on screen, within two seconds.
            // Where the window manager grants the state to no request, the ticks find that out
            // and stop, and the tick box is greyed when the settings window opens next.
            h.window.alwaysOnTopTimer()->setEnabled(false);
            const xcb_window_t other = m_x.createWindow("other program", 300, 300, 200, 150);
            QTRY_VERIFY_WITH_TIMEOUT(m_x.isManaged(other), 10000);
            QVERIFY(m_x.activateAndWait(other));
            const bool granted = m_x.grantsAbove(other);
            QTRY_VERIFY_WITH_TIMEOUT(m_x.activeWindow() == other && m_x.isStackedAbove(other, main),
                                     10000);
            h.window.alwaysOnTopTimer()->setEnabled(true);
            if (granted) {
                QTRY_VERIFY_WITH_TIMEOUT(
                    isAbove(main) && !isAbove(other) && m_x.isStackedAbove(main, other), 2000);
            } else {
                QTRY_VERIFY_WITH_TIMEOUT(!h.window.alwaysOnTopTimer()->isRunning(),
                                         (KeepOnTop::kPatience + 2) * 1000);
                QVERIFY(!h.controller.canKeepOnTop());
            }
            m_x.destroyWindow(other);

            // Back to the settings window, where the focus stayed on the tick box. Asked again
            // until it holds: xfwm4 may still be handing the focus on from the window just gone.
            QVERIFY(m_x.activateAndWait(settings));
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), dialog, 10000);
            QCOMPARE(QApplication::focusWidget(), dialog->alwaysOnTopBox());

            QVERIFY(!dialog->clearButton()->isEnabled());
            press(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), dialog->armClearBox());
            press(Qt::Key_Space);
            QVERIFY(dialog->clearButton()->isEnabled());
            press(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), dialog->clearButton());
            press(Qt::Key_Space);
            QCOMPARE(h.text("AMOUNT_IN_WALLET_1"), kCleared);
            QCOMPARE(h.text("CURRENT_DOLLAR_VALUATION_1"), kCleared);
            QCOMPARE(h.text("EXCHANGE_RATE_TEXTBOX"), QString("Exchange Rate"));
            QVERIFY(!dialog->clearButton()->isEnabled());
            QVERIFY(!dialog->armClearBox()->isEnabled());
            QVERIFY(!dialog->armClearBox()->isChecked());

            // The user closes it from the title bar: the window manager's close.
            insideRan = true;
            h.store.clearWrites();
            m_x.closeThroughWindowManager(settings);
        });
        // Space presses the button, which returns only when the settings window has closed.
        press(Qt::Key_Space);
        if (QTest::currentTestFailed()) {
            return;
        }
        QVERIFY(insideRan);
        QVERIFY(!h.settingsController.window()->isVisible());

        // The keyboard is back in the main window.
        QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), main, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), &h.window, 10000);

        // The close box stored the window's place and both tick boxes, and nothing else.
        QCOMPARE(h.store.writtenKeys(),
                 QStringList({"SettingsScreenLeft", "SettingsScreenTop", "AUTOSAVE_TICKBOX",
                              "AlwaysOnTopTimer_TICKBOX"}));

        // What the next run reads from the file.
        QCOMPARE(h.stored("AlwaysOnTopTimer_TICKBOX"), QString("1"));
        QCOMPARE(h.stored("AUTOSAVE_TICKBOX"), QString("0"));
        QCOMPARE(h.stored("SettingsScreenLeft"), QString("1500"));
        QCOMPARE(h.stored("SettingsScreenTop"), QString("3000"));
        QCOMPARE(h.stored("AMOUNT_IN_WALLET_1"), kCleared);
        QCOMPARE(h.stored("CURRENT_DOLLAR_VALUATION_1"), kCleared);
        QCOMPARE(h.stored("EXCHANGE_RATE_TEXTBOX"), QString("Exchange Rate"));
        QVERIFY(h.shown.isEmpty());
    }

private:
    // Calls the step as soon as a modal window is showing; the modal loop then keeps running
    // until the step has closed it, or a failed step's clean-up has.
    void whenModalShows(std::function<void(SettingsWindow*)> step)
    {
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, step] {
            auto* dialog = qobject_cast<SettingsWindow*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) {
                return;
            }
            poll->stop();
            poll->deleteLater();
            step(dialog);
            // A failed step returns early: close the window so the modal loop ends.
            if (dialog->isVisible() && QTest::currentTestFailed()) {
                dialog->close();
            }
        });
        poll->start(10);
    }

    bool isAbove(xcb_window_t window) { return m_x.hasState(window, "_NET_WM_STATE_ABOVE"); }

    X11Probe m_x;
};

VARNETH_X11_TEST_MAIN(TestX11SettingsFlow)
#include "tst_x11_settings_flow.moc"
