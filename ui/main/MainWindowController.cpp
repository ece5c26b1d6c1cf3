#include "MainWindowController.h"

#include "BgrColor.h"
#include "IntervalTimer.h"
#include "MainWindow.h"
#include "Platform.h"
#include "WindowGeometry.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

namespace varneth {

namespace {

constexpr quint32 kFocusColour = 0x00FFFF00; // cyan
constexpr quint32 kBlurColour = 0x00FFFFFF;  // white

constexpr ValuationField kInputsInStoreOrder[] = {ValuationField::ExchangeRate,
                                                  ValuationField::AmountInWallet,
                                                  ValuationField::CurrentDollarValuation};

SettingsKey keyOf(ValuationField input)
{
    switch (input) {
    case ValuationField::ExchangeRate:
        return SettingsKey::ExchangeRateTextbox;
    case ValuationField::AmountInWallet:
        return SettingsKey::AmountInWallet1;
    default:
        return SettingsKey::CurrentDollarValuation1;
    }
}

} // namespace

MainWindowController::MainWindowController(MainWindow& window, Settings& settings,
                                           Platform& platform, StoreFailureReporter& reporter,
                                           QObject* parent)
    : QObject(parent), m_window(window), m_settings(settings), m_platform(platform),
      m_reporter(reporter), m_sheet(m_binding), m_keepOnTop(platform)
{
    for (ValuationField field : kAllValuationFields) {
        m_binding.bind(field, window.field(field));
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
    WindowGeometry::restore(m_window, m_settings, SettingsKey::MainLeft, SettingsKey::MainTop,
                            SettingsKey::MainWidth, SettingsKey::MainHeight, m_window.dpi());
    // The frame's desktop hints go on the native window before it is first mapped. Only
    // now may it be created: a window placed before creation keeps its position as the
    // frame's, which is how the geometry is stored.
    m_platform.prepareToolWindow(m_window.winId());

    m_sheet.setText(ValuationField::ExchangeRate,
                    m_settings.readText(SettingsKey::ExchangeRateTextbox));
    m_sheet.setText(ValuationField::AmountInWallet,
                    m_settings.readText(SettingsKey::AmountInWallet1));
    m_sheet.setText(ValuationField::CurrentDollarValuation,
                    m_settings.readText(SettingsKey::CurrentDollarValuation1));

    m_window.alwaysOnTopTimer()->setInterval(1000);
    m_window.recalculateTimer()->setEnabled(true);
    m_window.recalculateTimer()->setInterval(1000);
    m_window.autosaveTimer()->setInterval(60000);
    // Only exactly 1 switches a timer on; any other stored number leaves it off.
    m_window.alwaysOnTopTimer()->setEnabled(
        m_settings.readDouble(SettingsKey::AlwaysOnTopTimerTickbox) == 1.0);
    m_window.autosaveTimer()->setEnabled(m_settings.readDouble(SettingsKey::AutosaveTickbox) ==
                                         1.0);
}

void MainWindowController::recalculate()
{
    m_sheet.recalculate();
}

void MainWindowController::autosave()
{
    for (ValuationField input : kInputsInStoreOrder) {
        m_reporter.onAutosaveWrite(m_settings.writeText(keyOf(input), m_sheet.text(input)));
    }
}

void MainWindowController::keepOnTop()
{
    m_keepOnTop.tick(m_window.winId());
}

QWidget* MainWindowController::window()
{
    return &m_window;
}

void MainWindowController::setAlwaysOnTopEnabled(bool enabled)
{
    m_window.alwaysOnTopTimer()->setEnabled(enabled);
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
    m_platform.prepareToolWindow(window.winId());
}

std::optional<QPoint> MainWindowController::ownedFrameTopLeft(QWidget& window)
{
    return m_platform.frameTopLeft(window.winId());
}

void MainWindowController::launchCalculator()
{
    m_platform.shellExecute(m_window.winId(), QStringLiteral("runas"), QStringLiteral("calc.exe"),
                            QString(), QString(), 1);
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

void MainWindowController::storeOnClose()
{
    m_reporter.beginAction();
    const TwipsGeometry geometry =
        WindowGeometry::read(m_window, m_window.dpi(), m_platform.frameTopLeft(m_window.winId()));
    m_reporter.onActionWrite(m_settings.writeSingle(SettingsKey::MainLeft, geometry.left));
    m_reporter.onActionWrite(m_settings.writeSingle(SettingsKey::MainTop, geometry.top));
    m_reporter.onActionWrite(m_settings.writeSingle(SettingsKey::MainWidth, geometry.width));
    m_reporter.onActionWrite(m_settings.writeSingle(SettingsKey::MainHeight, geometry.height));
    for (ValuationField input : kInputsInStoreOrder) {
        m_reporter.onActionWrite(m_settings.writeText(keyOf(input), m_sheet.text(input)));
    }
}

bool MainWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window) {
        if (event->type() == QEvent::Close) {
            storeOnClose();
            event->accept();
            emit closed();
        }
        return false;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        auto* edit = static_cast<QLineEdit*>(watched);
        QPalette palette = edit->palette();
        palette.setColor(
            QPalette::Base,
            BgrColor::fromBgr(event->type() == QEvent::FocusIn ? kFocusColour : kBlurColour));
        edit->setPalette(palette);
    }
    return false;
}

} // namespace varneth
