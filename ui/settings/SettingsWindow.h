#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace varneth {

// The settings window as it is on every opening: the four display labels, the three
// tick boxes and the two buttons. Enter presses the button that has the focus, the armed
// clear button too; Escape does nothing, since the window has neither a default nor a
// cancel button.
class SettingsWindow : public QDialog
{
    Q_OBJECT

public:
    explicit SettingsWindow(QWidget* owner);

    double dpi() const { return m_dpi; }
    QCheckBox* alwaysOnTopBox() const { return m_alwaysOnTop; }
    QCheckBox* autosaveBox() const { return m_autosave; }
    QCheckBox* armClearBox() const { return m_armClear; }
    QPushButton* clearButton() const { return m_clear; }
    QPushButton* okButton() const { return m_ok; }
    QLabel* creatorLabel() const { return m_creator; }

    // Puts every control back as laid out, without running any change handler: a fresh
    // opening starts from the layout, not from what the last one left behind.
    void resetToLayout();

    // The creator label's caption, in the largest size of its font that fits the label.
    void setCreatorCaption(const QString& caption);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* addDisplayLabel(const char* name, const QString& caption, const QRect& twips,
                            const QString& tooltip);
    QCheckBox* addTickBox(const char* name, const QString& caption, const QRect& twips);

    double m_dpi;
    QLabel* m_creator = nullptr;
    QCheckBox* m_armClear = nullptr;
    QCheckBox* m_autosave = nullptr;
    QCheckBox* m_alwaysOnTop = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace varneth
