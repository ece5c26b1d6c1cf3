#include "SettingsWindowController.h"

#include "SettingsWindow.h"
#include "ValuationInputs.h"
#include "WindowGeometry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace varneth {

namespace {

constexpr GeometryKeys kGeometryKeys{
    SettingsKey::SettingsScreenLeft, SettingsKey::SettingsScreenTop,
    SettingsKey::SettingsScreenWidth, SettingsKey::SettingsScreenHeight, false};

int stateOf(const QCheckBox* box)
{
    return box->isChecked() ? 1 : 0;
}

} // namespace

const QString SettingsWindowController::kNoKeepOnTop =
    QStringLiteral("This desktop does not let a program keep its window above the others.");

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
    // A stored tick runs its box's handler, which stores it again: the opening is one
    // action, told once of what failed.
    m_reporter.runAsOneAction([this] { load(); });
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
    // OK stores, then closes the window, which stores again: one action for the user.
    connect(w->okButton(), &QPushButton::clicked, this, [this] {
        m_reporter.runAsOneAction([this] {
            m_reporter.reportAction(runStoreSequence());
            m_window->close();
        });
    });
    w->installEventFilter(this);
    w->creatorLabel()->installEventFilter(this);
}

void SettingsWindowController::load()
{
    WindowGeometry::restore(*m_window, m_settings, kGeometryKeys, m_window->dpi());

    // Only a stored 1 ticks a box; any other number leaves it as laid out, unticked.
    m_window->autosaveBox()->setChecked(m_settings.readInteger(SettingsKey::AutosaveTickbox) == 1);
    if (m_main.canKeepOnTop()) {
        m_window->alwaysOnTopBox()->setChecked(
            m_settings.readInteger(SettingsKey::AlwaysOnTopTimerTickbox) == 1);
    } else {
        // A box that is ticked and does nothing would tell the user it worked. The stored
        // choice is left as it is, for a desktop that allows it.
        m_window->alwaysOnTopBox()->setEnabled(false);
        m_window->alwaysOnTopBox()->setToolTip(kNoKeepOnTop);
    }
}

SettingsStore::WriteResult SettingsWindowController::writeTickBox(SettingsKey key, int state)
{
    return m_settings.writeInteger(key, static_cast<qint16>(state));
}

void SettingsWindowController::onAlwaysOnTopChanged()
{
    m_main.setAlwaysOnTopEnabled(stateOf(m_window->alwaysOnTopBox()) == 1);
    m_reporter.reportAction(
        {writeTickBox(SettingsKey::AlwaysOnTopTimerTickbox, stateOf(m_window->alwaysOnTopBox()))});
}

void SettingsWindowController::onAutosaveChanged()
{
    m_main.setAutosaveEnabled(stateOf(m_window->autosaveBox()) == 1);
    m_reporter.reportAction(
        {writeTickBox(SettingsKey::AutosaveTickbox, stateOf(m_window->autosaveBox()))});
}

void SettingsWindowController::onArmClearChanged()
{
    m_window->clearButton()->setEnabled(stateOf(m_window->armClearBox()) == 1);
}

void SettingsWindowController::clearAllSavedData()
{
    // Every field goes back to the text the main window is laid out with, in the row's order.
    for (const ValuationFieldSpec& field : kValuationFields) {
        m_main.setFieldText(field.field, field.layoutText.toString());
    }
    // Then the inputs are stored, again in the row's order: amount, price, rate.
    StoreFailureReporter::Results results;
    for (const ValuationFieldSpec& field : kValuationFields) {
        if (field.isInput) {
            results.append(m_settings.writeText(valuationInput(field.field).key,
                                                m_main.fieldText(field.field)));
        }
    }
    m_reporter.reportAction(results);

    // Greying the focused control hands the focus on down the tab order, to auto-save,
    // where the Space a user presses again to make sure would tick it. OK is safe there.
    const QWidget* focused = m_window->focusWidget();
    const bool focusGreyed =
        focused == m_window->clearButton() || focused == m_window->armClearBox();
    m_window->clearButton()->setEnabled(false);
    m_window->armClearBox()->setEnabled(false);
    m_window->armClearBox()->setChecked(false);
    if (focusGreyed) {
        m_window->okButton()->setFocus(Qt::OtherFocusReason);
    }
}

StoreFailureReporter::Results SettingsWindowController::runStoreSequence(bool askDesktop)
{
    const std::optional<QPoint> frame =
        askDesktop ? m_main.ownedFrameTopLeft(*m_window) : std::nullopt;
    StoreFailureReporter::Results results =
        WindowGeometry::store(*m_window, m_settings, kGeometryKeys, m_window->dpi(), frame);
    results.append(writeTickBox(SettingsKey::AutosaveTickbox, stateOf(m_window->autosaveBox())));
    if (m_window->alwaysOnTopBox()->isEnabled()) {
        results.append(writeTickBox(SettingsKey::AlwaysOnTopTimerTickbox,
                                    stateOf(m_window->alwaysOnTopBox())));
    }
    return results;
}

bool SettingsWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (m_window && watched == m_window.data() && event->type() == QEvent::Close) {
        m_reporter.reportAction(runStoreSequence());
    } else if (m_window && watched == m_window->creatorLabel() &&
               event->type() == QEvent::MouseButtonDblClick) {
        m_window->setCreatorCaption(kCreatorAddress);
        return true;
    }
    return false;
}

} // namespace varneth
