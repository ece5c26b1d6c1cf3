#include "FakePlatform.h"
#include "IntervalTimer.h"
#include "ProgramHarness.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace varneth;

namespace {

using Writes = ProgramHarness<FakePlatform>::Writes;

// The windows over a fake platform, the main window loaded as at start-up.
struct Harness : ProgramHarness<FakePlatform>
{
    explicit Harness(const Writes& stored = {}, bool canKeepOnTop = true) : ProgramHarness(stored)
    {
        platform.setCanKeepOnTop(canKeepOnTop);
        controller.load();
        store.clearWrites();
    }
};

// What OK and the close box store.
const QStringList kFourKeys = {"SettingsScreenLeft", "SettingsScreenTop", "AUTOSAVE_TICKBOX",
                               "AlwaysOnTopTimer_TICKBOX"};

} // namespace

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void storedTickStatesOnOpening_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("2") << "2" << false;
        QTest::newRow("-1") << "-1" << false;
        QTest::newRow("whole with a fraction") << "1.0" << true;
        QTest::newRow("whole in exponent form") << "1E0" << true;
        QTest::newRow("not whole") << "1.5" << false;
        QTest::newRow("letters") << "on" << false;
    }
    void storedTickStatesOnOpening()
    {
        QFETCH(QString, stored);
        QFETCH(bool, ticked);
        Harness h({{"AlwaysOnTopTimer_TICKBOX", stored}, {"AUTOSAVE_TICKBOX", stored}});
        // Both windows read every stored text alike, so the settings window never writes
        // back a state the main window did not start with.
        QCOMPARE(h.window.alwaysOnTopTimer()->isRunning(), ticked);
        QCOMPARE(h.window.autosaveTimer()->isRunning(), ticked);
        // Start from timers off to see the tick boxes' handlers switch them.
        h.controller.setAlwaysOnTopEnabled(false);
        h.controller.setAutosaveEnabled(false);
        SettingsWindow* w = h.prepareSettings();
        QCOMPARE(w->alwaysOnTopBox()->isChecked(), ticked);
        QCOMPARE(w->autosaveBox()->isChecked(), ticked);
        QCOMPARE(h.window.alwaysOnTopTimer()->isRunning(), ticked);
        QCOMPARE(h.window.autosaveTimer()->isRunning(), ticked);
        // A stored 1 runs the handlers, which write the key again; nothing else writes.
        const Writes expected =
            ticked ? Writes{{"AUTOSAVE_TICKBOX", "1"}, {"AlwaysOnTopTimer_TICKBOX", "1"}}
                   : Writes{};
        QCOMPARE(h.store.writes(), expected);
    }

    void untickingAutosaveStopsItAndStoresZero()
    {
        Harness h(Writes{{"AUTOSAVE_TICKBOX", "1"}});
        QVERIFY(h.window.autosaveTimer()->isRunning());
        SettingsWindow* w = h.openSettings();
        h.store.clearWrites();
        QTest::mouseClick(w->autosaveBox(), Qt::LeftButton);
        QVERIFY(!h.window.autosaveTimer()->isRunning());
        QCOMPARE(h.store.writes(), (Writes{{"AUTOSAVE_TICKBOX", "0"}}));
        QVERIFY(h.stored("AUTOSAVE_TICKBOX") != "1");
    }

    void clearButtonIsGuardedByTheArmingBox()
    {
        Harness h;
        SettingsWindow* w = h.openSettings();
        QVERIFY(!w->clearButton()->isEnabled());
        QTest::mouseClick(w->clearButton(), Qt::LeftButton);
        QCOMPARE(h.text("EXCHANGE_RATE_TEXTBOX"), QString("Exchange Rate"));
        QCOMPARE(h.text("AMOUNT_IN_WALLET_1"), QString("0")); // nothing cleared
        QTest::mouseClick(w->armClearBox(), Qt::LeftButton);
        QVERIFY(w->clearButton()->isEnabled());
        QTest::mouseClick(w->armClearBox(), Qt::LeftButton);
        QVERIFY(!w->clearButton()->isEnabled());
    }

    void clearResetsFieldsStoreAndGuard()
    {
        Harness h({{"AMOUNT_IN_WALLET_1", "2"},
                   {"CURRENT_DOLLAR_VALUATION_1", "3"},
                   {"EXCHANGE_RATE_TEXTBOX", "0.5"}});
        h.controller.recalculate();
        SettingsWindow* w = h.openSettings();
        QTest::mouseClick(w->armClearBox(), Qt::LeftButton);
        QTest::mouseClick(w->clearButton(), Qt::LeftButton);

        const QString zeros = "00000000.00000000";
        for (const char* name :
             {"AMOUNT_IN_WALLET_1", "CURRENT_DOLLAR_VALUATION_1", "TOTAL_USD_VALUATION_TEXTBOX_1",
              "CONVERTED_VALUATION_1", "TOTAL_VALUATION_1"}) {
            QCOMPARE(h.text(name), zeros);
        }
        QCOMPARE(h.text("EXCHANGE_RATE_TEXTBOX"), QString("Exchange Rate"));
        QCOMPARE(h.store.writes(), (Writes{{"AMOUNT_IN_WALLET_1", zeros},
                                           {"CURRENT_DOLLAR_VALUATION_1", zeros},
                                           {"EXCHANGE_RATE_TEXTBOX", "Exchange Rate"}}));
        QVERIFY(!w->armClearBox()->isChecked());
        QVERIFY(!w->armClearBox()->isEnabled());
        QVERIFY(!w->clearButton()->isEnabled());

        // The next recalculation values the cleared inputs.
        h.controller.recalculate();
        QCOMPARE(h.text("TOTAL_VALUATION_1"), QString("0"));

        // The next opening starts from the layout again.
        w->close();
        h.prepareSettings();
        QVERIFY(w->armClearBox()->isEnabled());
        QVERIFY(!w->armClearBox()->isChecked());
        QVERIFY(!w->clearButton()->isEnabled());
    }

    void alwaysOnTopIsGreyedWhereTheDesktopForbidsIt()
    {
        // Wayland, or a window manager without ABOVE.
        Harness h({{"AlwaysOnTopTimer_TICKBOX", "1"}}, false);
        QVERIFY(!h.window.alwaysOnTopTimer()->isRunning());
        SettingsWindow* w = h.openSettings();
        QVERIFY(!w->alwaysOnTopBox()->isEnabled());
        QVERIFY(!w->alwaysOnTopBox()->isChecked());
        QCOMPARE(w->alwaysOnTopBox()->toolTip(), SettingsWindowController::kNoKeepOnTop);
        h.store.clearWrites();
        QTest::mouseClick(w->okButton(), Qt::LeftButton);
        // The stored choice is left for a desktop that allows it.
        QVERIFY(!h.store.writtenKeys().contains("AlwaysOnTopTimer_TICKBOX"));
        QCOMPARE(h.stored("AlwaysOnTopTimer_TICKBOX"), QString("1"));
        QVERIFY(!h.window.alwaysOnTopTimer()->isRunning());
    }

    void okAndCloseBoxStoreTheSameFourKeys()
    {
        Harness h;
        SettingsWindow* w = h.openSettings();
        QTest::mouseClick(w->okButton(), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(h.store.writtenKeys(), kFourKeys + kFourKeys); // OK, then the close it asks for

        h.store.clearWrites();
        h.openSettings();
        QVERIFY(w->close()); // the close box
        QCOMPARE(h.store.writtenKeys(), kFourKeys);
        QCOMPARE(h.stored("SettingsScreenLeft"), QString("1005"));
        QVERIFY(h.store.writtenKeys().filter("Width").isEmpty());
    }

    void reopensWhereItWasMovedWithTheStoredSize()
    {
        Harness h({{"SettingsScreenWidth", "9540"}, {"SettingsScreenHeight", "3045"}});
        SettingsWindow* w = h.prepareSettings();
        QCOMPARE(w->size(), QSize(630, 181)); // (9540 - 90) and (3045 - 330) twips
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->move(200, 150);
        QVERIFY(w->close());
        QCOMPARE(h.stored("SettingsScreenLeft"), QString("3000"));
        QCOMPARE(h.stored("SettingsScreenTop"), QString("2250"));
        h.prepareSettings();
        QCOMPARE(w->pos(), QPoint(200, 150));
        QCOMPARE(w->size(), QSize(630, 181));
    }

    // Enter presses the focused button, as Space does; no button is the window's default,
    // so a tick box ignores it, and there is no cancel button for Escape.
    void enterPressesTheFocusedButtonAndEscapeNothing_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<int>("presses");
        const QStringList store = kFourKeys + kFourKeys;
        const QStringList clear = {"AMOUNT_IN_WALLET_1", "CURRENT_DOLLAR_VALUATION_1",
                                   "EXCHANGE_RATE_TEXTBOX"};
        QTest::newRow("Return on OK") << "OK_BUTTON" << int(Qt::Key_Return) << store << 1;
        QTest::newRow("keypad Enter on OK") << "OK_BUTTON" << int(Qt::Key_Enter) << store << 1;
        QTest::newRow("Return on the armed clear button")
            << "CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON" << int(Qt::Key_Return) << clear << 1;
        QTest::newRow("Return on a tick box")
            << "AUTOSAVE_TICKBOX" << int(Qt::Key_Return) << QStringList() << 1;
        QTest::newRow("Escape on OK") << "OK_BUTTON" << int(Qt::Key_Escape) << QStringList() << 1;
        // The clear greys the focused button; the second Space lands on OK, not auto-save.
        QTest::newRow("Space twice on the armed clear button")
            << "CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON" << int(Qt::Key_Space) << clear + store << 2;
    }
    void enterPressesTheFocusedButtonAndEscapeNothing()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QStringList, written);
        QFETCH(int, presses);
        Harness h;
        SettingsWindow* w = h.openSettings();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(QApplication::focusWidget(), w->okButton());
        QTest::mouseClick(w->armClearBox(), Qt::LeftButton);
        h.store.clearWrites();

        QWidget* focused = w->findChild<QWidget*>(focus);
        focused->setFocus();
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        }
        QCOMPARE(h.store.writtenKeys(), written);
        QVERIFY(h.stored("AUTOSAVE_TICKBOX") != "1");
        QCOMPARE(w->isVisible(), !written.contains("SettingsScreenLeft"));
        QCOMPARE(h.stored("AMOUNT_IN_WALLET_1") == "00000000.00000000",
                 written.contains("AMOUNT_IN_WALLET_1"));
        QVERIFY(!w->okButton()->isDefault() && !w->clearButton()->isDefault());
    }

    void tabSkipsTheClearButtonUntilArmed()
    {
        Harness h;
        SettingsWindow* w = h.openSettings();
        QVERIFY(QTest::qWaitForWindowActive(w));
        auto visit = [&](int count) {
            QStringList names;
            w->okButton()->setFocus();
            for (int i = 0; i < count; ++i) {
                names.append(QApplication::focusWidget()->objectName());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            return names;
        };
        QCOMPARE(visit(5), (QStringList{"OK_BUTTON", "AlwaysOnTopTimer_TICKBOX",
                                        "ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX",
                                        "AUTOSAVE_TICKBOX", "OK_BUTTON"}));
        w->armClearBox()->setChecked(true);
        QCOMPARE(visit(6), (QStringList{"OK_BUTTON", "AlwaysOnTopTimer_TICKBOX",
                                        "ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX",
                                        "CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON", "AUTOSAVE_TICKBOX",
                                        "OK_BUTTON"}));
    }

    void creatorDoubleClickShowsTheAddressUntilClosed()
    {
        Harness h;
        SettingsWindow* w = h.openSettings();
        QTest::mouseDClick(w->creatorLabel(), Qt::LeftButton);
        QCOMPARE(w->creatorLabel()->text(), QString("trevald@holbreck.example"));
        w->close();
        h.prepareSettings();
        QCOMPARE(w->creatorLabel()->text(), QString("Created By Trevald"));
    }

    void mainTimersKeepFiringWhileModal()
    {
        Harness h({{"AMOUNT_IN_WALLET_1", "2"}, {"CURRENT_DOLLAR_VALUATION_1", "3"}});
        // A short interval so the test need not wait a whole second.
        h.window.recalculateTimer()->setInterval(10);
        QString seenWhileOpen;
        QTimer::singleShot(300, this, [&] {
            seenWhileOpen = h.text("TOTAL_USD_VALUATION_TEXTBOX_1");
            QVERIFY(h.settingsController.window()->isModal());
            h.settingsController.window()->close();
        });
        QTest::mouseClick(h.window.settingsButton(), Qt::LeftButton); // returns on close
        QCOMPARE(seenWhileOpen, QString("6"));
        QVERIFY(!h.settingsController.window()->isVisible());
        QCOMPARE(h.settingsController.window()->parentWidget(), &h.window);
    }

    void everyControlIsNamedAndLaidOut()
    {
        Harness h;
        SettingsWindow* w = h.prepareSettings();
        QCOMPARE(w->windowTitle(), QString("HOLBRECK - VARNETH"));
        QCOMPARE(w->size(), QSize(530, 181));
        QCOMPARE(w->armClearBox()->text(),
                 QString("Enable \"Clear All Saved Crypto Data\" Button"));
        QCOMPARE(w->clearButton()->text(), QString("Clear All Saved Crypto Data"));
        QVERIFY(!w->okButton()->isDefault() && !w->okButton()->autoDefault());
        QCOMPARE(w->findChild<QLabel*>("VARNETH_VERSION")->toolTip(), QString("Version"));
        QCOMPARE(w->creatorLabel()->toolTip(), QString("App Description"));
        // Captions fit their fixed widths, in whatever face the machine has.
        for (QCheckBox* box : w->findChildren<QCheckBox*>()) {
            QVERIFY2(box->sizeHint().width() <= box->width(), qPrintable(box->objectName()));
        }
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settings_window.moc"
