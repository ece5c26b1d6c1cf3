#include "SettingsWindow.h"

#include "DisplayLabel.h"
#include "EnterKey.h"
#include "ProgramFont.h"
#include "ToolWindowFrame.h"
#include "Twips.h"
#include "WrappedCaptionButton.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>

namespace varneth {

namespace {

const QString kCreatorCaption = QStringLiteral("Created By Trevald");

QFont displayFont()
{
    return ProgramFont::make(12, true);
}

} // namespace

SettingsWindow::SettingsWindow(QWidget* owner) : QDialog(owner), m_dpi(Twips::screenDpi())
{
    setObjectName(QStringLiteral("VARNETH_SETTINGS"));
    // Its caption is the main window's; a screen reader says which window this is.
    setAccessibleName(QStringLiteral("VARNETH settings"));
    ToolWindowFrame::apply(*this);
    setModal(true);
    setFont(ProgramFont::make(8.25, false));
    setFixedSize(Twips::toPixels(7950, m_dpi), Twips::toPixels(2715, m_dpi));

    const QString title = QStringLiteral("Application Title");
    addDisplayLabel("HOLBRECK_TITLE", QStringLiteral("HOLBRECK"), {120, 120, 3375, 480}, title);
    addDisplayLabel("VARNETH_TITLE", QStringLiteral("VARNETH"), {3600, 120, 4215, 480}, title);
    addDisplayLabel("VARNETH_VERSION", QStringLiteral("Version 1.0"), {120, 720, 1815, 465},
                    QStringLiteral("Version"));
    m_creator = addDisplayLabel("VARNETH_CREATOR", kCreatorCaption, {2040, 720, 3015, 450},
                                QStringLiteral("App Description"));

    m_armClear = addTickBox("ENABLE_CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON_TICKBOX",
                            QStringLiteral("Enable \"Clear All Saved Crypto Data\" Button"),
                            {240, 1320, 3495, 375});
    m_autosave = addTickBox("AUTOSAVE_TICKBOX", QStringLiteral("Auto-Save Every 1-Minute"),
                            {3960, 1320, 2175, 375});
    m_alwaysOnTop = addTickBox("AlwaysOnTopTimer_TICKBOX", QStringLiteral("Always On Top"),
                               {6360, 1320, 1455, 375});

    m_clear = new WrappedCaptionButton(QStringLiteral("Clear All Saved Crypto Data"), this);
    m_clear->setObjectName(QStringLiteral("CLEAR_ALL_SAVED_CRYPTO_DATA_BUTTON"));
    m_clear->setGeometry(Twips::toPixels(QRect(1320, 1920, 1455, 615), m_dpi));
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OK_BUTTON"));
    m_ok->setGeometry(Twips::toPixels(QRect(4800, 1920, 1575, 615), m_dpi));
    for (QPushButton* button : {m_clear, m_ok}) {
        // A QDialog would otherwise make the first focused button its default for good,
        // and Enter would press it from anywhere: from a tick box it would clear the data.
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setAccessibleName(button->text());
    }

    for (QWidget* control :
         std::initializer_list<QWidget*>{m_armClear, m_autosave, m_alwaysOnTop, m_ok}) {
        ProgramFont::fitCaption(*control, font());
    }
    // The clear button's caption is wider than the button: it wraps onto a second line.
    ProgramFont::fitCaption(*m_clear, font(), Qt::TextWordWrap);

    setTabOrder(m_ok, m_alwaysOnTop);
    setTabOrder(m_alwaysOnTop, m_armClear);
    setTabOrder(m_armClear, m_clear);
    setTabOrder(m_clear, m_autosave);
    resetToLayout();
}

QLabel* SettingsWindow::addDisplayLabel(const char* name, const QString& caption,
                                        const QRect& twips, const QString& tooltip)
{
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(caption);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(Twips::toPixels(twips, m_dpi));
    DisplayLabel::style(*label, tooltip);
    ProgramFont::fitCaption(*label, displayFont());
    return label;
}

QCheckBox* SettingsWindow::addTickBox(const char* name, const QString& caption, const QRect& twips)
{
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(caption);
    box->setGeometry(Twips::toPixels(twips, m_dpi));
    return box;
}

void SettingsWindow::resetToLayout()
{
    for (QCheckBox* box : {m_armClear, m_autosave, m_alwaysOnTop}) {
        const QSignalBlocker quiet(box);
        box->setChecked(false);
        box->setEnabled(true);
        box->setToolTip(QString());
    }
    m_clear->setEnabled(false);
    setCreatorCaption(kCreatorCaption);
    m_ok->setFocus();
}

void SettingsWindow::setCreatorCaption(const QString& caption)
{
    m_creator->setText(caption);
    // A screen reader reads the name, not the text: the two change together.
    m_creator->setAccessibleName(caption);
    ProgramFont::fitCaption(*m_creator, displayFont());
}

void SettingsWindow::keyPressEvent(QKeyEvent* event)
{
    if (EnterKey::pressFocusedButton(*this, *event)) {
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        // A dialog would close on Escape as if cancelled; this window has no cancel button.
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace varneth
