#pragma once

#include "ClockPanel.h"
#include "ValuationField.h"

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace varneth {

class IntervalTimer;

// The main window as it is when created: every control at its place with its caption,
// colours and font, the three timers (not yet armed) and the status bar. It has no
// behaviour of its own; MainWindowController gives it life.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(ClockPanel::Clock clock = &QDateTime::currentDateTime,
                        QWidget* parent = nullptr);

    double dpi() const { return m_dpi; }
    QLineEdit* field(ValuationField field) const;
    QPushButton* settingsButton() const { return m_settingsButton; }
    QPushButton* calcButton() const { return m_calcButton; }
    QStatusBar* statusBar() const { return m_statusBar; }
    IntervalTimer* recalculateTimer() const { return m_recalculateTimer; }
    IntervalTimer* autosaveTimer() const { return m_autosaveTimer; }
    IntervalTimer* alwaysOnTopTimer() const { return m_alwaysOnTopTimer; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Enter presses the command button that has the focus; in a text field it does nothing,
    // since neither button is the window's default.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* addLabel(const char* name, const QString& caption, const QRect& twips);
    QLineEdit* addField(ValuationField which, const QString& accessibleName, const QRect& twips);

    double m_dpi;
    std::array<QLineEdit*, 6> m_fields{};
    QPushButton* m_settingsButton = nullptr;
    QPushButton* m_calcButton = nullptr;
    QStatusBar* m_statusBar = nullptr;
    IntervalTimer* m_recalculateTimer = nullptr;
    IntervalTimer* m_autosaveTimer = nullptr;
    IntervalTimer* m_alwaysOnTopTimer = nullptr;
};

} // namespace varneth
