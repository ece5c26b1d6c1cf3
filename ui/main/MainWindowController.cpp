#include "MainWindowController.h"

#include "FixedSizeKeeper.h"
#include "IntervalTimer.h"
#include "LightBackground.h"
#include "MainWindow.h"
#include "Platform.h"
#include "ToolWindowFrame.h"
#include "ValuationInputs.h"
#include "WindowGeometry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

namespace varneth {

namespace {

constexpr quint32 kFocusColour = 0x00FFFF00; // cyan
constexpr quint32 kBlurColour = 0x00FFFFFF;  // white

constexpr GeometryKeys kGeometryKeys{SettingsKey::MainLeft, SettingsKey::MainTop,
                                     SettingsKey::MainWidth, SettingsKey::MainHeight, true};

} // namespace

MainWindowController::MainWindowController(MainWindow& window, Settings& settings,
                                           Platform& platform, StoreFailureReporter& reporter,
                                           StoreFailureReporter::Presenter presenter,
                                           QObject* parent)
    : QObject(parent), m_window(window), m_settings(settings), m_platform(platform),
      m_reporter(reporter), m_presenter(std::move(presenter)), m_sheet(m_binding),
      m_keepOnTop(platform)
{
    for (const ValuationFieldSpec& field : kValuationFields) {
        m_binding.bind(field.field, window.field(field.field));
    }
    connect(window.recalculateTimer(), &IntervalTimer::tick, this,
            &MainWindowController::recalculate);
    connect(window.autosaveTimer(), &IntervalTimer::tick, this, &MainWindowController::autosave);
    connect(window.alwaysOnTopTimer(), &IntervalTimer::tick, this,
            &MainWindowController::keepOnTop);
    connect(window.calcButton(), &QPushButton::clicked, this,
            &MainWindowController::launchCalculator);
    connect(window.settingsButton(), &QPushButton::clicked, this,
            &MainWindowController::openSettings);
    window.field(ValuationField::AmountInWallet)->installEventFilter(this);
    window.field(ValuationField::CurrentDollarValuation)->installEventFilter(this);
    window.installEventFilter(this);
}

void MainWindowController::load()
{
    WindowGeometry::restore(m_window, m_settings, kGeometryKeys, m_window.dpi());
    // The frame's desktop hints go on the native window before it is first mapped. Only
    // now may it be created: a window placed before creation keeps its position as the
    // frame's, which is how the geometry is stored.
    prepareToolWindow(m_window);

    for (const ValuationInput& input : kValuationInputs) {
        m_sheet.setText(input.field, m_settings.readText(input.key));
    }

    m_window.alwaysOnTopTimer()->setInterval(1000);
    m_window.recalculateTimer()->setEnabled(true);
    m_window.recalculateTimer()->setInterval(1000);
    m_window.autosaveTimer()->setInterval(60000);
    // Only exactly 1 switches a timer on; any other stored number leaves it off. Where the
    // desktop lets no window keep itself on top, the ticks would only cost time.
    m_window.alwaysOnTopTimer()->setEnabled(
        m_settings.readDouble(SettingsKey::AlwaysOnTopTimerTickbox) == 1.0 &&
        m_platform.canKeepOnTop());
    m_window.autosaveTimer()->setEnabled(m_settings.readDouble(SettingsKey::AutosaveTickbox) ==
                                         1.0);
}

void MainWindowController::recalculate()
{
    m_sheet.recalculate();
}

void MainWindowController::autosave()
{
    m_reporter.reportAutosave(storeInputs());
}

StoreFailureReporter::Results MainWindowController::storeInputs()
{
    StoreFailureReporter::Results results;
    for (const ValuationInput& input : kValuationInputs) {
        results.append(m_settings.writeText(input.key, m_sheet.text(input.field)));
    }
    return results;
}

void MainWindowController::keepOnTop()
{
    m_keepOnTop.tick(m_window.winId());
    // A desktop that refuses the group gets no more ticks; the settings window then greys
    // the choice as where the desktop does not offer it.
    if (m_keepOnTop.desktopRefuses()) {
        m_window.alwaysOnTopTimer()->setEnabled(false);
    }
}

QWidget* MainWindowController::window()
{
    return &m_window;
}

void MainWindowController::setAlwaysOnTopEnabled(bool enabled)
{
    m_window.alwaysOnTopTimer()->setEnabled(enabled && !m_keepOnTop.desktopRefuses());
}

void MainWindowController::setAutosaveEnabled(bool enabled)
{
    m_window.autosaveTimer()->setEnabled(enabled);
}

QString MainWindowController::fieldText(ValuationField field) const
{
    return m_sheet.text(field);
}

void MainWindowController::setFieldText(ValuationField field, const QString& text)
{
    m_sheet.setText(field, text);
}

void MainWindowController::prepareOwnedToolWindow(QWidget& window)
{
    prepareToolWindow(window);
}

void MainWindowController::prepareToolWindow(QWidget& window)
{
    m_platform.prepareToolWindow(window.winId());
    if (FixedSizeKeeper* keeper = FixedSizeKeeper::of(window)) {
        QWidget* w = &window;
        keeper->setDesktop(
            {.frameTopLeft = [this, w] { return m_platform.frameTopLeft(w->winId()); },
             .moveFrameTo = [this, w](QPoint to) { return m_platform.moveFrameTo(w->winId(), to); },
             .resizeInPlace =
                 [this, w](QSize size) { return m_platform.resizeInPlace(w->winId(), size); },
             .dropStates = [this, w] { return m_platform.dropImposedStates(w->winId()); },
             .remanage = [this, w](QPoint at) { return m_platform.remanage(w->winId(), at); }});
    }
}

std::optional<QPoint> MainWindowController::placeToStore(QWidget& window, bool askDesktop)
{
    // While a size or state the window manager imposed is being undone, the window is not
    // where the user left it: the place it held before is.
    const FixedSizeKeeper* keeper = FixedSizeKeeper::of(window);
    if (const std::optional<QPoint> held = keeper ? keeper->heldPlace() : std::nullopt) {
        return held;
    }
    return askDesktop ? m_platform.frameTopLeft(window.winId()) : std::nullopt;
}

bool MainWindowController::canKeepOnTop()
{
    return m_platform.canKeepOnTop() && !m_keepOnTop.desktopRefuses();
}

std::optional<QPoint> MainWindowController::ownedFrameTopLeft(QWidget& window)
{
    return placeToStore(window, true);
}

void MainWindowController::launchCalculator()
{
    // Nothing happening on a click would leave the user guessing; the log has the details.
    if (!m_platform.startCalculator()) {
        m_presenter(ToolWindowFrame::kCaption.toString(),
                    QStringLiteral("No calculator could be started.\n\n"
                                   "Install one, for example gnome-calculator, kcalc, mate-calc, "
                                   "galculator or qalculate-gtk, and click CALC again."));
    }
}

void MainWindowController::openSettings()
{
    if (m_openSettings) {
        m_openSettings();
        // Closing an owned modal window hands the keyboard back to its owner. Window managers
        // that leave windows without a taskbar entry out of their own choice of the next
        // window to focus (openbox) would leave none active, so ask for it.
        m_window.activateWindow();
    }
}

StoreFailureReporter::Results MainWindowController::runCloseSequenceWrites(bool askDesktop)
{
    const std::optional<QPoint> frame = placeToStore(m_window, askDesktop);
    StoreFailureReporter::Results results =
        WindowGeometry::store(m_window, m_settings, kGeometryKeys, m_window.dpi(), frame);
    results.append(storeInputs());
    return results;
}

bool MainWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window) {
        if (event->type() == QEvent::Close) {
            emit closing();
            m_reporter.reportAction(runCloseSequenceWrites());
            event->accept();
            emit closed();
        }
        return false;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        // Another program becoming active (no window of ours is then active) or a context
        // menu opening leaves the field its focus, as far as the user is concerned: it
        // keeps its highlight. Another control or the settings window takes the focus.
        const auto* focus = static_cast<QFocusEvent*>(event);
        if (event->type() == QEvent::FocusOut &&
            (focus->reason() == Qt::PopupFocusReason ||
             (focus->reason() == Qt::ActiveWindowFocusReason && !QApplication::activeWindow()))) {
            return false;
        }
        LightBackground::apply(*static_cast<QLineEdit*>(watched), QPalette::Base,
                               event->type() == QEvent::FocusIn ? kFocusColour : kBlurColour);
    }
    return false;
}

} // namespace varneth
