#include "SettingsWindowController.h"

#include "SettingsWindow.h"
#include "WindowGeometry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace varneth {

namespace {

const QString kClearedNumber = QStringLiteral("00000000.00000000");

int stateOf(const QCheckBox* box)
{
    return box->isChecked() ? 1 : 0;
}

} // namespace

const QString SettingsWindowController::kCreatorAddress =
    QStringLiteral("trevald@holbreck.example");

SettingsWindowController::SettingsWindowController(MainWindowOperations& main, Settings& settings,
                                                   StoreFailureReporter& reporter, QObject* parent)
    : QObject(parent), m_main(main), m_settings(settings), m_reporter(reporter)
{
}

SettingsWindowController::~SettingsWindowController() = default;

void SettingsWindowController::open()
{
    prepare();
    m_window->exec();
}

void SettingsWindowController::prepare()
{
    if (!m_window) {
        create();
    }
    m_window->resetToLayout();
    load();
    // Again on every opening: the desktop drops the hints while the window is hidden.
    m_main.prepareOwnedToolWindow(*m_window);
}

void SettingsWindowController::create()
{
    m_window = new SettingsWindow(m_main.window());
    SettingsWindow* w = m_window;
    // toggled fires on every change of state, by the user or the program, and never
    // when a box is set to the state it already has.
    connect(w->alwaysOnTopBox(), &QCheckBox::toggled, this,
            &SettingsWindowController::onAlwaysOnTopChanged);
    connect(w->autosaveBox(), &QCheckBox::toggled, this,
            &SettingsWindowController::onAutosaveChanged);
    connect(w->armClearBox(), &QCheckBox::toggled, this,
            &SettingsWindowController::onArmClearChanged);
    connect(w->clearButton(), &QPushButton::clicked, this,
            &SettingsWindowController::clearAllSavedData);
    connect(w->okButton(), &QPushButton::clicked, this, [this] {
        storeOnClose();
        m_window->close();
    });
    w->installEventFilter(this);
    w->creatorLabel()->installEventFilter(this);
}

void SettingsWindowController::load()
{
    WindowGeometry::restore(*m_window, m_settings, SettingsKey::SettingsScreenLeft,
                            SettingsKey::SettingsScreenTop, SettingsKey::SettingsScreenWidth,
                            SettingsKey::SettingsScreenHeight, m_window->dpi());

    // Only a stored 1 ticks a box; any other number leaves it as laid out, unticked.
    m_reporter.beginAction();
    m_window->autosaveBox()->setChecked(m_settings.readInteger(SettingsKey::AutosaveTickbox) == 1);
    m_window->alwaysOnTopBox()->setChecked(
        m_settings.readInteger(SettingsKey::AlwaysOnTopTimerTickbox) == 1);
}

void SettingsWindowController::writeTickBox(SettingsKey key, int state)
{
    m_reporter.onActionWrite(m_settings.writeInteger(key, static_cast<qint16>(state)));
}

void SettingsWindowController::onAlwaysOnTopChanged()
{
    m_main.setAlwaysOnTopEnabled(stateOf(m_window->alwaysOnTopBox()) == 1);
    m_reporter.beginAction();
    writeTickBox(SettingsKey::AlwaysOnTopTimerTickbox, stateOf(m_window->alwaysOnTopBox()));
}

void SettingsWindowController::onAutosaveChanged()
{
    m_main.setAutosaveEnabled(stateOf(m_window->autosaveBox()) == 1);
    m_reporter.beginAction();
    writeTickBox(SettingsKey::AutosaveTickbox, stateOf(m_window->autosaveBox()));
}

void SettingsWindowController::onArmClearChanged()
{
    m_window->clearButton()->setEnabled(stateOf(m_window->armClearBox()) == 1);
}

void SettingsWindowController::clearAllSavedData()
{
    m_main.setFieldText(ValuationField::AmountInWallet, kClearedNumber);
    m_main.setFieldText(ValuationField::CurrentDollarValuation, kClearedNumber);
    m_main.setFieldText(ValuationField::ExchangeRate, QStringLiteral("Exchange Rate"));
    m_main.setFieldText(ValuationField::TotalUsdValuation, kClearedNumber);
    m_main.setFieldText(ValuationField::ConvertedValuation, kClearedNumber);
    m_main.setFieldText(ValuationField::TotalValuation, kClearedNumber);

    m_reporter.beginAction();
    const std::pair<SettingsKey, ValuationField> inputs[] = {
        {SettingsKey::AmountInWallet1, ValuationField::AmountInWallet},
        {SettingsKey::CurrentDollarValuation1, ValuationField::CurrentDollarValuation},
        {SettingsKey::ExchangeRateTextbox, ValuationField::ExchangeRate}};
    for (const auto& [key, field] : inputs) {
        m_reporter.onActionWrite(m_settings.writeText(key, m_main.fieldText(field)));
    }

    m_window->clearButton()->setEnabled(false);
    m_window->armClearBox()->setEnabled(false);
    m_window->armClearBox()->setChecked(false);
}

void SettingsWindowController::storeOnClose()
{
    m_reporter.beginAction();
    const TwipsGeometry geometry =
        WindowGeometry::read(*m_window, m_window->dpi(), m_main.ownedFrameTopLeft(*m_window));
    m_reporter.onActionWrite(
        m_settings.writeSingle(SettingsKey::SettingsScreenLeft, geometry.left));
    m_reporter.onActionWrite(m_settings.writeSingle(SettingsKey::SettingsScreenTop, geometry.top));
    writeTickBox(SettingsKey::AutosaveTickbox, stateOf(m_window->autosaveBox()));
    writeTickBox(SettingsKey::AlwaysOnTopTimerTickbox, stateOf(m_window->alwaysOnTopBox()));
}

bool SettingsWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (m_window && watched == m_window.data() && event->type() == QEvent::Close) {
        storeOnClose();
    } else if (m_window && watched == m_window->creatorLabel() &&
               event->type() == QEvent::MouseButtonDblClick) {
        m_window->creatorLabel()->setText(kCreatorAddress);
        return true;
    }
    return false;
}

} // namespace varneth
