#include "FakePlatform.h"
#include "IntervalTimer.h"
#include "ProgramHarness.h"
#include "ToolWindowFrame.h"
#include "Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

using namespace varneth;
using namespace Qt::StringLiterals;

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(23, 59, 30, 250));

// The windows over a fake platform, with the clock stopped at kNow.
struct Harness : ProgramHarness<FakePlatform>
{
    explicit Harness(const Writes& stored = {}, const QLocale& locale = QLocale::c())
        : ProgramHarness(stored, {}, locale, [] { return kNow; })
    {
    }
    // Loaded as a start loads it, and shown; returned for the test to wait on.
    MainWindow* loadAndShow()
    {
        controller.load();
        window.show();
        return &window;
    }
    // The three results, in their order on the row.
    QStringList results() const
    {
        return {text("TOTAL_USD_VALUATION_TEXTBOX_1"), text("CONVERTED_VALUATION_1"),
                text("TOTAL_VALUATION_1")};
    }
};

// What the user does while the store cannot be written.
enum class Action
{
    CloseMain,
    EndSession,
    SettingsOk,
    SettingsCloseBox,
    Clear,
    Autosave,
};

QColor base(const QLineEdit* edit)
{
    return edit->palette().color(QPalette::Base);
}

// Calls back with the window's size on every resize it is told of.
struct ResizeWatcher : QObject
{
    ResizeWatcher(QWidget& window, std::function<void(QSize)> seen) : m_seen(std::move(seen))
    {
        window.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) {
            m_seen(static_cast<QResizeEvent*>(event)->size());
        }
        return false;
    }
    std::function<void(QSize)> m_seen;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The expected pixel values below are those of the usual 96 dpi.
        QCOMPARE(Twips::screenDpi(), 96.0);
    }

    void firstRunStartsFromDefaults()
    {
        Harness h;
        h.controller.load();

        QCOMPARE(h.window.pos(), QPoint(67, 67));   // 1000 twips, snapped to whole pixels
        QCOMPARE(h.window.size(), QSize(690, 111)); // 10440 x 1995 less the reference frame
        QCOMPARE(h.text("EXCHANGE_RATE_TEXTBOX"), QString("Exchange Rate"));
        QCOMPARE(h.text("AMOUNT_IN_WALLET_1"), QString("0"));
        QCOMPARE(h.text("CURRENT_DOLLAR_VALUATION_1"), QString("0"));
        QCOMPARE(h.results(), QStringList(3, "00000000.00000000"));

        QCOMPARE(h.window.recalculateTimer()->interval(), 1000);
        QVERIFY(h.window.recalculateTimer()->isRunning());
        QCOMPARE(h.window.autosaveTimer()->interval(), 60000);
        QVERIFY(!h.window.autosaveTimer()->isRunning());
        QCOMPARE(h.window.alwaysOnTopTimer()->interval(), 1000);
        QVERIFY(!h.window.alwaysOnTopTimer()->isRunning());
        QVERIFY(h.store.writes().isEmpty());

        h.controller.recalculate();
        QCOMPARE(h.results(), QStringList(3, "0"));
    }

    void storedTextsAreRestoredExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("letters") << "abc";
        QTest::newRow("blanks kept") << "  12 ";
        QTest::newRow("comma") << "1,5";
        QTest::newRow("empty") << "";
        QTest::newRow("non-ascii") << QString::fromUtf8("₿ 0,5 €");
        QTest::newRow("long") << QString(100000, QLatin1Char('7'));
    }

    void storedTextsAreRestoredExactly()
    {
        QFETCH(QString, text);
        Harness h({{"AMOUNT_IN_WALLET_1", text},
                   {"CURRENT_DOLLAR_VALUATION_1", text + "p"},
                   {"EXCHANGE_RATE_TEXTBOX", text + "r"}});
        h.controller.load();
        QCOMPARE(h.text("AMOUNT_IN_WALLET_1"), text);
        QCOMPARE(h.text("CURRENT_DOLLAR_VALUATION_1"), text + "p");
        QCOMPARE(h.text("EXCHANGE_RATE_TEXTBOX"), text + "r");
    }

    void storedTickBoxesSwitchTimers_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("runs");
        QTest::newRow("1") << u"C"_s << u"1"_s << true;
        QTest::newRow("1.0 with a point") << u"C"_s << u"1.0"_s << true;
        QTest::newRow("1,0 with a comma") << u"de_DE"_s << u"1,0"_s << true;
        QTest::newRow("0") << u"C"_s << u"0"_s << false;
        QTest::newRow("2 is not 1") << u"C"_s << u"2"_s << false;
        QTest::newRow("unreadable") << u"C"_s << u"yes"_s << false;
    }

    void storedTickBoxesSwitchTimers()
    {
        QFETCH(QString, locale);
        QFETCH(QString, stored);
        QFETCH(bool, runs);
        // Each tick box switches its own timer and leaves the other one stopped.
        for (const bool onTop : {true, false}) {
            Harness h({{onTop ? "AlwaysOnTopTimer_TICKBOX" : "AUTOSAVE_TICKBOX", stored}},
                      QLocale(locale));
            h.controller.load();
            QCOMPARE(h.window.alwaysOnTopTimer()->isRunning(), onTop && runs);
            QCOMPARE(h.window.autosaveTimer()->isRunning(), !onTop && runs);
        }
    }

    void typedInputsAreValuedOnTheNextTick()
    {
        Harness h;
        QVERIFY(QTest::qWaitForWindowActive(h.loadAndShow()));
        h.type("AMOUNT_IN_WALLET_1", "2");
        h.type("CURRENT_DOLLAR_VALUATION_1", "3");
        h.type("EXCHANGE_RATE_TEXTBOX", "0.5");
        h.controller.recalculate();
        QCOMPARE(h.results(), QStringList({"6", "1.5", "3"}));
    }

    void tabVisitsFieldsThenButtons()
    {
        Harness h;
        QVERIFY(QTest::qWaitForWindowActive(h.loadAndShow()));
        const QStringList expected =
            u"EXCHANGE_RATE_TEXTBOX AMOUNT_IN_WALLET_1 CURRENT_DOLLAR_VALUATION_1 "
            u"TOTAL_USD_VALUATION_TEXTBOX_1 CONVERTED_VALUATION_1 TOTAL_VALUATION_1 "
            u"CALC_BUTTON SETTINGS_BUTTON EXCHANGE_RATE_TEXTBOX"_s.split(u' ');
        QStringList visited;
        for (int i = 0; i < expected.size(); ++i) {
            visited.append(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, expected);
    }

    void focusHighlightsOnlyTheAmountAndPrice()
    {
        Harness h;
        QVERIFY(QTest::qWaitForWindowActive(h.loadAndShow()));
        QLineEdit* amount = h.field("AMOUNT_IN_WALLET_1");
        QLineEdit* price = h.field("CURRENT_DOLLAR_VALUATION_1");
        QLineEdit* rate = h.field("EXCHANGE_RATE_TEXTBOX");
        const QColor rateBase = base(rate);
        const QColor highlight(0, 255, 255), plain(255, 255, 255);

        amount->setFocus();
        QCOMPARE(base(amount), highlight);
        price->setFocus();
        QCOMPARE(base(amount), plain);
        QCOMPARE(base(price), highlight);
        // Another program becoming active leaves the highlight; coming back keeps it.
        QApplication::setActiveWindow(nullptr);
        QCOMPARE(base(price), highlight);
        QApplication::setActiveWindow(&h.window);
        QCOMPARE(base(price), highlight);
        // The settings window taking the keyboard counts as losing the focus.
        QWidget* settings = h.showWindow(true);
        QApplication::setActiveWindow(settings);
        QCOMPARE(base(price), plain);
        settings->hide();
        QApplication::setActiveWindow(&h.window);
        QCOMPARE(base(price), highlight);

        rate->setFocus();
        QCOMPARE(base(price), plain);
        QCOMPARE(base(rate), rateBase);
    }

    void enterPressesOnlyTheFocusedButton_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("calculatorStarts");
        QTest::newRow("Return on CALC") << "CALC_BUTTON" << int(Qt::Key_Return) << 1;
        QTest::newRow("keypad Enter on CALC") << "CALC_BUTTON" << int(Qt::Key_Enter) << 1;
        QTest::newRow("Return in a field") << "AMOUNT_IN_WALLET_1" << int(Qt::Key_Return) << 0;
        QTest::newRow("Return in a result") << "TOTAL_VALUATION_1" << int(Qt::Key_Return) << 0;
    }

    void enterPressesOnlyTheFocusedButton()
    {
        QFETCH(QString, focused);
        QFETCH(int, key);
        QFETCH(int, calculatorStarts);
        Harness h;
        QVERIFY(QTest::qWaitForWindowActive(h.loadAndShow()));
        auto* target = h.window.findChild<QWidget*>(focused);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(h.platform.calls().size(), calculatorStarts);
        QCOMPARE(h.text("AMOUNT_IN_WALLET_1"), QString("0"));
    }

    void resultsIgnoreTypingAndKeepTheirSelection()
    {
        Harness h({{"AMOUNT_IN_WALLET_1", "2"}, {"CURRENT_DOLLAR_VALUATION_1", "3"}});
        QVERIFY(QTest::qWaitForWindowActive(h.loadAndShow()));
        h.controller.recalculate();
        QLineEdit* total = h.field("TOTAL_USD_VALUATION_TEXTBOX_1");
        total->setFocus();
        QTest::keyClicks(total, "999");
        QCOMPARE(total->text(), QString("6"));

        total->selectAll();
        h.controller.recalculate();
        QCOMPARE(total->selectedText(), QString("6"));
    }

    void longPasteIsKeptWhole()
    {
        Harness h;
        h.controller.load();
        // Blanks are ignored wherever they stand, so this megabyte reads as 21.
        const QString paste = "2" + QString(1 << 20, QLatin1Char(' ')) + "1";
        h.field("AMOUNT_IN_WALLET_1")->setText(paste);
        h.field("CURRENT_DOLLAR_VALUATION_1")->setText("3");
        QCOMPARE(h.text("AMOUNT_IN_WALLET_1").size(), paste.size());
        h.controller.recalculate();
        QCOMPARE(h.text("TOTAL_USD_VALUATION_TEXTBOX_1"), QString("63"));
    }

    void closeStoresGeometryThenInputsInOrder()
    {
        Harness h({{"AMOUNT_IN_WALLET_1", "abc"},
                   {"MainLeft", "1000"},
                   {"MainTop", "2000"},
                   {"MainWidth", "10440"},
                   {"MainHeight", "1995"}});
        QVERIFY(QTest::qWaitForWindowExposed(h.loadAndShow()));
        h.field("CURRENT_DOLLAR_VALUATION_1")->setText("42.5");
        QVERIFY(h.window.close());
        QVERIFY(h.quits.isEmpty()); // only once the close event is over

        const Harness::Writes expected = {{"MainLeft", "1005"},
                                          {"MainTop", "1995"}, // 133.33 px snap to 133
                                          {"MainWidth", "10440"},
                                          {"MainHeight", "1995"},
                                          {"EXCHANGE_RATE_TEXTBOX", "Exchange Rate"},
                                          {"AMOUNT_IN_WALLET_1", "abc"},
                                          {"CURRENT_DOLLAR_VALUATION_1", "42.5"}};
        QCOMPARE(h.store.writes(), expected);
        QTRY_COMPARE(h.quits, QList<int>{0});
        QVERIFY(h.shown.isEmpty());
    }

    void autosaveWritesTheThreeInputs()
    {
        Harness h;
        h.controller.load();
        h.field("AMOUNT_IN_WALLET_1")->setText("1.25");
        h.controller.autosave();
        const Harness::Writes expected = {{"EXCHANGE_RATE_TEXTBOX", "Exchange Rate"},
                                          {"AMOUNT_IN_WALLET_1", "1.25"},
                                          {"CURRENT_DOLLAR_VALUATION_1", "0"}};
        QCOMPARE(h.store.writes(), expected);
        QCOMPARE(h.stored("AMOUNT_IN_WALLET_1"), QString("1.25"));
    }

    // Every failed write is logged. The user is told once per action, however many keys it
    // writes and handlers it runs, and by the autosave once until a save goes through; when
    // the session ends nobody is left to read a box, and a second signal does not close again.
    void failedWritesAreLoggedAndToldOncePerAction_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("failed"); // writes, each with its log line
        QTest::addColumn<int>("boxes");
        QTest::newRow("the user closes") << Action::CloseMain << 7 << 1;
        QTest::newRow("the session ends") << Action::EndSession << 7 << 0;
        QTest::newRow("opened, then OK") << Action::SettingsOk << 2 + 4 + 4 << 1 + 1;
        QTest::newRow("opened, then its close box") << Action::SettingsCloseBox << 2 + 4 << 1 + 1;
        QTest::newRow("opened, then a clear") << Action::Clear << 2 + 3 << 1 + 1;
        QTest::newRow("autosave fails twice, saves, fails") << Action::Autosave << 3 * 3 << 2;
    }

    void failedWritesAreLoggedAndToldOncePerAction()
    {
        QFETCH(Action, action);
        QFETCH(int, failed);
        QFETCH(int, boxes);
        Harness h({{"AlwaysOnTopTimer_TICKBOX", "1"}, {"AUTOSAVE_TICKBOX", "1"}});
        h.controller.load();
        const QString reason = "cannot write " + h.store.filePath() + ": the disk is full";
        h.store.failWritesWith(reason);
        // Logged under the settings category alone: with all other categories' warnings
        // off, each expected line must still arrive.
        QLoggingCategory::setFilterRules("*.warning=false\nvarneth.settings.warning=true");
        const auto restoreRules = qScopeGuard([] { QLoggingCategory::setFilterRules({}); });
        for (int write = 0; write < failed; ++write) {
            QTest::ignoreMessage(QtWarningMsg, qPrintable("settings not saved: " + reason));
        }

        h.window.show();
        SettingsWindow* settings = nullptr;
        if (action >= Action::SettingsOk && action <= Action::Clear) {
            settings = h.prepareSettings(); // as SETTINGS opens it: both handlers write
            QCOMPARE(h.shown.size(), 1);
            settings->show();
        }
        if (action == Action::CloseMain) {
            QVERIFY(h.window.close());
        } else if (action == Action::EndSession) {
            h.program.endSession();
            h.program.endSession();
        } else if (action == Action::SettingsOk) {
            QTest::mouseClick(settings->okButton(), Qt::LeftButton);
        } else if (action == Action::SettingsCloseBox) {
            QVERIFY(settings->close());
        } else if (action == Action::Clear) {
            QTest::mouseClick(settings->armClearBox(), Qt::LeftButton);
            QTest::mouseClick(settings->clearButton(), Qt::LeftButton);
        } else {
            h.controller.autosave();
            h.controller.autosave();
            h.store.failWritesWith({});
            h.controller.autosave();
            h.store.failWritesWith(reason);
            h.controller.autosave();
        }
        QTRY_COMPARE(h.quits, action <= Action::EndSession ? QList<int>{0} : QList<int>{});
        QCOMPARE(h.shown.size(), boxes);
        QCOMPARE(h.shown.filter(reason).size(), boxes);
    }

    void keepOnTopAndCalcGoThroughThePlatform()
    {
        Harness h;
        h.loadAndShow();
        const WindowHandle own = h.window.winId();
        h.platform.setForegroundAnswers({own + 1, own + 2});
        h.controller.keepOnTop();
        QCOMPARE(h.platform.calls().size(), 4);
        QCOMPARE(h.platform.calls().at(2).window, own + 2);
        QCOMPARE(h.platform.calls().at(2).topmost, false);
        QCOMPARE(h.platform.calls().at(3).window, own);
        QCOMPARE(h.platform.calls().at(3).topmost, true);

        h.platform.clearCalls();
        QTest::mouseClick(h.window.calcButton(), Qt::LeftButton);
        QCOMPARE(h.platform.calls().size(), 1);
        QCOMPARE(h.platform.calls().first().kind, FakePlatform::Call::Kind::StartCalculator);
    }

    // A second start of the program asks this one to come forward: the window the user
    // works in gets it, with what the launcher gave; once closed, the program refuses.
    void activationGoesToTheWindowInUse_data()
    {
        QTest::addColumn<bool>("settingsOpen");
        QTest::addColumn<bool>("closed");
        QTest::newRow("main window") << false << false;
        QTest::newRow("settings window open") << true << false;
        QTest::newRow("main window closed") << false << true;
    }

    void activationGoesToTheWindowInUse()
    {
        QFETCH(bool, settingsOpen);
        QFETCH(bool, closed);
        Harness h;
        h.program.start();
        const Activation launch{"launcher_TIME42", "token"};
        if (closed) {
            h.window.close();
            QVERIFY(!h.program.activate(launch));
            QVERIFY(h.platform.calls().isEmpty());
            return;
        }
        WindowHandle target = h.window.winId();
        bool accepted = false;
        if (settingsOpen) {
            QTimer::singleShot(0, this, [&] {
                target = h.settingsController.window()->winId();
                accepted = h.program.activate(launch);
                h.settingsController.window()->close();
            });
            QTest::mouseClick(h.window.settingsButton(), Qt::LeftButton); // returns on close
        } else {
            accepted = h.program.activate(launch);
        }
        QVERIFY(accepted);
        QCOMPARE(h.platform.calls().size(), 1);
        const FakePlatform::Call call = h.platform.calls().first();
        QCOMPARE(call.kind, FakePlatform::Call::Kind::Activate);
        QCOMPARE(call.window, target);
        QCOMPARE(call.launch.startupId, launch.startupId);
        QCOMPARE(call.launch.activationToken, launch.activationToken);
    }

    void calcWithoutACalculatorSaysSoAndCarriesOn()
    {
        Harness h;
        h.loadAndShow();
        h.platform.setCalculatorStarts(false);
        QTest::mouseClick(h.window.calcButton(), Qt::LeftButton);
        QCOMPARE(h.titles, QStringList{ToolWindowFrame::kCaption.toString()});
        QVERIFY(h.shown.first().contains("gnome-calculator"));

        // Installed meanwhile: the next click asks again and shows nothing.
        h.platform.setCalculatorStarts(true);
        QTest::mouseClick(h.window.calcButton(), Qt::LeftButton);
        QCOMPARE(h.platform.calls().size(), 2);
        QCOMPARE(h.shown.size(), 1);
        QVERIFY(h.window.isVisible());
        QVERIFY(h.quits.isEmpty());
    }

    void settingsTimersFollowTheOperations()
    {
        Harness h;
        h.controller.load();
        MainWindowOperations& operations = h.controller;
        operations.setAlwaysOnTopEnabled(true);
        operations.setAutosaveEnabled(true);
        QVERIFY(h.window.alwaysOnTopTimer()->isRunning());
        QVERIFY(h.window.autosaveTimer()->isRunning());
        operations.setAutosaveEnabled(false);
        QVERIFY(!h.window.autosaveTimer()->isRunning());
        operations.setFieldText(ValuationField::TotalValuation, "x");
        QCOMPARE(h.text("TOTAL_VALUATION_1"), QString("x"));
    }

    void geometryOffEveryScreenComesBackOnTheScreen_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::newRow("far right") << u"9000000"_s << u"1000"_s;
        QTest::newRow("far above") << u"1000"_s << u"-900000"_s;
        QTest::newRow("huge") << u"1e30"_s << u"1e30"_s;
    }

    void geometryOffEveryScreenComesBackOnTheScreen()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        Harness h({{"MainLeft", left}, {"MainTop", top}});
        h.controller.load();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(screen.intersects(QRect(h.window.pos(), h.window.size())));
    }

    void unusableSizesReadAsTheDefault_data()
    {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<bool>("warned"); // one log line per unusable key
        const QSize byDefault(690, 111);
        QTest::newRow("negative") << u"-5000"_s << u"-1"_s << byDefault << true;
        QTest::newRow("zero client area: the frame alone")
            << u"90"_s << u"330"_s << byDefault << true;
        QTest::newRow("smaller than the frame") << u"10"_s << u"10"_s << byDefault << true;
        QTest::newRow("above 16384 px") << u"245865"_s << u"246105"_s << byDefault << true;
        QTest::newRow("huge") << u"1e38"_s << u"1e38"_s << byDefault << true;
        QTest::newRow("one pixel more than the frame")
            << u"105"_s << u"345"_s << QSize(1, 1) << false;
        QTest::newRow("16384 px") << u"245850"_s << u"246090"_s << QSize(16384, 16384) << false;
    }

    void unusableSizesReadAsTheDefault()
    {
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QSize, client);
        QFETCH(bool, warned);
        Harness h({{"MainWidth", width}, {"MainHeight", height}});
        if (warned) {
            for (const auto& [key, text, fallback] :
                 {std::tuple{"MainWidth", width, "10440"}, {"MainHeight", height, "1995"}}) {
                const QString line = u"^the setting %1 holds \"%2\", .*using its default %3$"_s.arg(
                    key, QRegularExpression::escape(text), fallback);
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(line));
            }
        }
        QTest::failOnWarning(QRegularExpression(".*"));
        h.controller.load();
        QCOMPARE(h.window.size(), client);
    }

    void imposedSizeIsPutBackAndNeverStored_data()
    {
        QTest::addColumn<Qt::WindowState>("state");
        QTest::newRow("maximised") << Qt::WindowMaximized;
        QTest::newRow("full screen") << Qt::WindowFullScreen;
    }

    void imposedSizeIsPutBackAndNeverStored()
    {
        QFETCH(Qt::WindowState, state);
        Harness h({{"MainWidth", "12000"}, {"MainHeight", "2400"}});
        QVERIFY(QTest::qWaitForWindowExposed(h.loadAndShow()));
        const QSize designed = h.window.size();
        // A close while the imposed size holds stores the designed size all the same.
        bool imposed = false;
        ResizeWatcher watcher(h.window, [&](QSize size) {
            if (size != designed && !imposed) {
                imposed = true;
                h.controller.runCloseSequenceWrites();
            }
        });
        // What a window manager does on its own: the platform window takes another size.
        h.window.windowHandle()->setWindowState(state);
        QTRY_VERIFY(imposed);
        QTRY_COMPARE(h.window.size(), designed);
        QCOMPARE(h.window.windowState(), Qt::WindowNoState);
        QCOMPARE(h.stored("MainWidth"), QString("12000"));
        QCOMPARE(h.stored("MainHeight"), QString("2400"));
    }

    void statusBarDocksAtFullWidth_data()
    {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::newRow("default") << u"10440"_s << u"1995"_s;
        QTest::newRow("wider and taller") << u"15000"_s << u"3000"_s;
    }

    void statusBarDocksAtFullWidth()
    {
        QFETCH(QString, width);
        QFETCH(QString, height);
        Harness h({{"MainWidth", width}, {"MainHeight", height}});
        QVERIFY(QTest::qWaitForWindowExposed(h.loadAndShow()));
        const QStatusBar* bar = h.window.statusBar();
        QCOMPARE(bar->geometry().bottom(), h.window.rect().bottom());
        QCOMPARE(bar->width(), h.window.width());
        // The field row ends above the status bar, and no column moved.
        for (const char* name : {"AMOUNT_IN_WALLET_1", "TOTAL_VALUATION_1"}) {
            QVERIFY(h.field(name)->geometry().bottom() < bar->geometry().top());
        }
        QCOMPARE(h.field("TOTAL_VALUATION_1")->geometry(),
                 Twips::toPixels(QRect(8280, 960, 1935, 315), 96));
        const auto* status = bar->findChild<QLabel*>("sbStatusBar_Panel1");
        QCOMPARE(status->text(), QString("Status"));
        QVERIFY(status->width() >= Twips::toPixels(1440, 96));
    }

    void clockPanelsShowTheDateAndTimeAndWakeOnTheMinute()
    {
        Harness h;
        const auto* date = h.window.findChild<ClockPanel*>("sbStatusBar_Panel2");
        const auto* time = h.window.findChild<ClockPanel*>("sbStatusBar_Panel3");
        QCOMPARE(date->text(), QLocale().toString(kNow.date(), QLocale::ShortFormat));
        QCOMPARE(time->text(),
                 QLocale().toString(kNow.time(), ClockPanel::hoursAndMinutes(QLocale())));
        QVERIFY(!time->text().contains("30")); // hours and minutes, no seconds
        QVERIFY(date->msecsToNextMinute() > 29750 - 10 && date->msecsToNextMinute() < 29750 + 10);
    }

    void timePanelDropsSeconds_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("C") << u"C"_s << u"23:59"_s;
        QTest::newRow("de_DE") << u"de_DE"_s << u"23:59"_s;
        QTest::newRow("en_US") << u"en_US"_s << u"11:59 PM"_s;
    }

    void timePanelDropsSeconds()
    {
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        const QLocale l(locale);
        const QString shown = l.toString(kNow.time(), ClockPanel::hoursAndMinutes(l));
        // Locales differ in the space before AM/PM; compare with it folded.
        QCOMPARE(QString(shown).replace(QChar(0x202F), ' '), expected);
    }

    void controlsCarryTheirNamesAndCaptions()
    {
        Harness h;
        QCOMPARE(h.window.windowTitle(), QString("HOLBRECK - VARNETH"));
        QCOMPARE(h.window.windowType(), Qt::Window);
        QVERIFY(!h.window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!h.window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(h.window.windowIcon().availableSizes().value(0), QSize(100, 100));
        QCOMPARE(h.window.findChild<QLabel*>("HOLBRECK_TITLE")->toolTip(), u"Application Title"_s);
        QCOMPARE(h.field("AMOUNT_IN_WALLET_1")->accessibleName(), QString("Amount"));
        QCOMPARE(h.field("TOTAL_VALUATION_1")->accessibleName(), QString("TOTAL Value"));
        QCOMPARE(h.field("EXCHANGE_RATE_TEXTBOX")->alignment() & Qt::AlignHCenter,
                 Qt::AlignHCenter);
        QVERIFY(h.field("CONVERTED_VALUATION_1")->isReadOnly());
        QVERIFY(!h.field("AMOUNT_IN_WALLET_1")->isReadOnly());
        QCOMPARE(h.window.findChild<QPushButton*>("CALC_BUTTON")->text(), QString("CALC"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
