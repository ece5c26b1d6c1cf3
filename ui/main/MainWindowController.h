#pragma once

#include "KeepOnTop.h"
#include "LineEditFieldBinding.h"
#include "MainWindowOperations.h"
#include "Settings.h"
#include "StoreFailureReporter.h"
#include "ValuationSheet.h"

#include <QObject>
#include <functional>

namespace varneth {

class MainWindow;
class Platform;

// Gives the main window its life: restores it from the store at load, drives the
// recalculation, autosave and keep-on-top timers, highlights the focused input, starts
// the calculator, opens the settings and stores everything when the window closes.
class MainWindowController : public QObject, public MainWindowOperations
{
    Q_OBJECT

public:
    // The presenter shows the program's other messages to the user, such as that no
    // calculator could be started.
    MainWindowController(MainWindow& window, Settings& settings, Platform& platform,
                         StoreFailureReporter& reporter, StoreFailureReporter::Presenter presenter,
                         QObject* parent = nullptr);

    // Runs the settings window modally; set once the settings window exists.
    void setSettingsOpener(std::function<void()> opener) { m_openSettings = std::move(opener); }

    // The load sequence: geometry, inputs and timers, before the window is first shown.
    void load();

    // Timer handlers, public so tests can drive them without waiting.
    void recalculate();
    void autosave();
    void keepOnTop();

    // What the settings window may do.
    QWidget* window() override;
    void setAlwaysOnTopEnabled(bool enabled) override;
    void setAutosaveEnabled(bool enabled) override;
    QString fieldText(ValuationField field) const override;
    void setFieldText(ValuationField field, const QString& text) override;
    void prepareOwnedToolWindow(QWidget& window) override;
    std::optional<QPoint> ownedFrameTopLeft(QWidget& window) override;
    bool canKeepOnTop() override;

    // The writes of the close sequence: the geometry, then the three inputs. The close
    // event runs them; so does an exit that comes without one, which must not ask the
    // desktop where the window is (askDesktop false): the display may be gone.
    StoreFailureReporter::Results runCloseSequenceWrites(bool askDesktop = true);

signals:
    // The close sequence begins: from here on the program is ending.
    void closing();
    // The close sequence has run, everything is stored; the program ends.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The desktop's hints, and its notion of the frame for the window's size keeper.
    void prepareToolWindow(QWidget& window);
    std::optional<QPoint> placeToStore(QWidget& window, bool askDesktop);
    void launchCalculator();
    void openSettings();
    StoreFailureReporter::Results storeInputs();

    MainWindow& m_window;
    Settings& m_settings;
    Platform& m_platform;
    StoreFailureReporter& m_reporter;
    StoreFailureReporter::Presenter m_presenter;
    LineEditFieldBinding m_binding;
    ValuationSheet m_sheet;
    KeepOnTop m_keepOnTop;
    std::function<void()> m_openSettings;
};

} // namespace varneth
