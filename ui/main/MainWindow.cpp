#include "MainWindow.h"

#include "DisplayLabel.h"
#include "EnterKey.h"
#include "IntervalTimer.h"
#include "LightBackground.h"
#include "MainWindowAccessibility.h"
#include "ProgramFont.h"
#include "ToolWindowFrame.h"
#include "Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <limits>

namespace varneth {

namespace {

constexpr quint32 kLightGreen = 0x00C0FFC0;
constexpr quint32 kLightYellow = 0x00C0FFFF;
constexpr quint32 kWhite = 0x00FFFFFF;

constexpr int kStatusBarHeightTwips = 270;
constexpr int kPanelMinWidthTwips = 1440;

} // namespace

MainWindow::MainWindow(ClockPanel::Clock clock, QWidget* parent)
    : QWidget(parent), m_dpi(Twips::screenDpi())
{
    MainWindowAccessibility::install();
    setObjectName(QStringLiteral("VARNETH_MAIN"));
    ToolWindowFrame::apply(*this);
    setFixedSize(Twips::toPixels(10320, m_dpi), Twips::toPixels(2670, m_dpi));

    const QFont titleFont = ProgramFont::make(9.75, true);
    const QFont boldFont = ProgramFont::make(8.25, true);

    // Top row: the two titles, the two buttons and the exchange-rate field.
    QLabel* holbreck =
        addLabel("HOLBRECK_TITLE", QStringLiteral("HOLBRECK"), {120, 120, 2295, 360});
    QLabel* varneth = addLabel("VARNETH_TITLE", QStringLiteral("VARNETH"), {2520, 120, 2535, 360});
    for (QLabel* title : {holbreck, varneth}) {
        DisplayLabel::style(*title, QStringLiteral("Application Title"));
        ProgramFont::fitCaption(*title, titleFont);
    }

    m_settingsButton = new QPushButton(QStringLiteral("SETTINGS"), this);
    m_settingsButton->setObjectName(QStringLiteral("SETTINGS_BUTTON"));
    m_settingsButton->setGeometry(Twips::toPixels(QRect(5160, 120, 1215, 375), m_dpi));
    m_calcButton = new QPushButton(QStringLiteral("CALC"), this);
    m_calcButton->setObjectName(QStringLiteral("CALC_BUTTON"));
    m_calcButton->setGeometry(Twips::toPixels(QRect(6480, 120, 855, 375), m_dpi));
    for (QPushButton* button : {m_settingsButton, m_calcButton}) {
        ProgramFont::fitCaption(*button, boldFont);
        button->setAutoDefault(false);
        button->setAccessibleName(button->text());
    }

    // The exchange-rate field has no caption of its own; what names it for the eye is its
    // initial text, and for a screen reader its accessible name.
    QLineEdit* rate = addField(ValuationField::ExchangeRate,
                               valuationField(ValuationField::ExchangeRate).layoutText.toString(),
                               {7440, 120, 2775, 345});
    rate->setFont(titleFont);
    rate->setAlignment(Qt::AlignCenter);

    // The five columns: a caption over a field each.
    struct Column
    {
        const char* labelName;
        const char* caption;
        int left;
        int labelWidth;
        quint32 labelColour; // 0: the window's own face colour
        ValuationField field;
    };
    const Column columns[] = {
        {"LABEL_WALLET_TOTAL", "Amount", 120, 735, 0, ValuationField::AmountInWallet},
        {"LABEL_CURRENT_USD_VALUATION", "Current USD Value", 2160, 1935, kLightGreen,
         ValuationField::CurrentDollarValuation},
        {"LABEL_TOTAL_USD_VALUATION", "Total USD Value", 4200, 1935, kLightGreen,
         ValuationField::TotalUsdValuation},
        {"LABEL_CONVERTED_VALUATION", "CONVERTED Value", 6240, 1935, kLightYellow,
         ValuationField::ConvertedValuation},
        {"LABEL_TOTAL_VALUATION", "TOTAL Value", 8280, 1935, kLightYellow,
         ValuationField::TotalValuation},
    };
    for (const Column& column : columns) {
        const QString caption = QString::fromLatin1(column.caption);
        QLabel* label =
            addLabel(column.labelName, caption, {column.left, 600, column.labelWidth, 255});
        ProgramFont::fitCaption(*label, boldFont);
        if (column.labelColour != 0) {
            LightBackground::apply(*label, QPalette::Window, column.labelColour);
        }
        QLineEdit* edit = addField(column.field, caption, {column.left, 960, 1935, 315});
        // Screen readers announce a field by the caption that labels it. The caption has no
        // access key, so the buddy adds no shortcut.
        label->setBuddy(edit);
        edit->setFont(boldFont);
    }

    // Results are for reading and copying only.
    for (ValuationField result :
         {ValuationField::TotalUsdValuation, ValuationField::ConvertedValuation,
          ValuationField::TotalValuation}) {
        field(result)->setReadOnly(true);
    }

    // Focus moves through the fields, then the buttons; labels never take it.
    const QWidget* order[] = {rate,
                              field(ValuationField::AmountInWallet),
                              field(ValuationField::CurrentDollarValuation),
                              field(ValuationField::TotalUsdValuation),
                              field(ValuationField::ConvertedValuation),
                              field(ValuationField::TotalValuation),
                              m_calcButton,
                              m_settingsButton};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
    }
    rate->setFocus();

    // The status bar: "Status" takes whatever width the date and time leave.
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("sbStatusBar"));
    m_statusBar->setAccessibleName(QStringLiteral("Status"));
    m_statusBar->setSizeGripEnabled(false);
    m_statusBar->setFont(titleFont);
    const int panelMinWidth = Twips::toPixels(kPanelMinWidthTwips, m_dpi);
    auto* status = new QLabel(QStringLiteral("Status"), m_statusBar);
    status->setObjectName(QStringLiteral("sbStatusBar_Panel1"));
    status->setMinimumWidth(panelMinWidth);
    auto* date = new ClockPanel(ClockPanel::Show::Date, clock, m_statusBar);
    date->setObjectName(QStringLiteral("sbStatusBar_Panel2"));
    auto* time = new ClockPanel(ClockPanel::Show::Time, clock, m_statusBar);
    time->setObjectName(QStringLiteral("sbStatusBar_Panel3"));
    for (QLabel* panel : {status, static_cast<QLabel*>(date), static_cast<QLabel*>(time)}) {
        panel->setMinimumWidth(panelMinWidth);
        panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    m_statusBar->addWidget(status, 1);
    m_statusBar->addPermanentWidget(date);
    m_statusBar->addPermanentWidget(time);

    // Timers are created idle; the controller sets their intervals at load.
    m_recalculateTimer = new IntervalTimer(QStringLiteral("AUTO_CALCULATE_TIMER_1"), true, this);
    m_autosaveTimer = new IntervalTimer(QStringLiteral("AUTOSAVE_TIMER"), false, this);
    m_alwaysOnTopTimer = new IntervalTimer(QStringLiteral("AlwaysOnTopTimer"), false, this);
}

QLineEdit* MainWindow::field(ValuationField which) const
{
    return m_fields.at(static_cast<std::size_t>(which));
}

QLabel* MainWindow::addLabel(const char* name, const QString& caption, const QRect& twips)
{
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(caption);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(Twips::toPixels(twips, m_dpi));
    return label;
}

QLineEdit* MainWindow::addField(ValuationField which, const QString& accessibleName,
                                const QRect& twips)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(valuationFieldName(which).toString());
    edit->setText(valuationField(which).layoutText.toString());
    edit->setAccessibleName(accessibleName);
    // A pasted text of any length is kept whole; QLineEdit would cut it at 32767.
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setGeometry(Twips::toPixels(twips, m_dpi));
    // Every field is white with black text, the light look the layout was drawn for, in
    // any desktop theme: two results are fixed white, the inputs turn white once they lose
    // the focus, and a field left to a dark theme would stand out as the odd one in its row.
    LightBackground::apply(*edit, QPalette::Base, kWhite);
    m_fields.at(static_cast<std::size_t>(which)) = edit;
    return edit;
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (!EnterKey::pressFocusedButton(*this, *event)) {
        QWidget::keyPressEvent(event);
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Docked to the bottom edge at the full width, whatever size the window was given.
    const int height = Twips::toPixels(kStatusBarHeightTwips, m_dpi);
    m_statusBar->setGeometry(0, this->height() - height, width(), height);
}

} // namespace varneth
