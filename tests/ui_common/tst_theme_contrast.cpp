#include "IntervalTimer.h"
#include "ProgramHarness.h"
#include "QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QHash>
#include <QLabel>
#include <QStyleOptionButton>
#include <algorithm>
#include <cmath>
#include <tuple>

using namespace varneth;

namespace {

// What a GNOME user with the Adwaita:dark theme gets from Qt's gtk3 theme plugin.
QPalette darkPalette()
{
    const QColor text(240, 240, 240);
    QPalette dark(text, QColor(50, 50, 50), QColor(75, 75, 75), QColor(33, 33, 33),
                  QColor(38, 38, 38), text, QColor(75, 75, 75), QColor(36, 36, 36),
                  QColor(50, 50, 50));
    dark.setColor(QPalette::Highlight, QColor(48, 140, 198));
    dark.setColor(QPalette::HighlightedText, text);
    dark.setColor(QPalette::PlaceholderText, QColor(240, 240, 240, 128));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(QPalette::Disabled, role, QColor(130, 130, 130));
    }
    return dark;
}

// WCAG 2 relative luminance and contrast ratio.
double luminance(QRgb rgb)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
           0.0722 * channel(qBlue(rgb));
}

double contrast(QRgb a, QRgb b)
{
    const auto [low, high] = std::minmax({luminance(a), luminance(b)});
    return (high + 0.05) / (low + 0.05);
}

// Where a control draws its text, without the frame, bevel or tick mark around it. In a
// line edit that is the band of the text line up to the cursor, which stands after the
// text and is drawn inverted; with text selected, the selection alone.
QRect textArea(QWidget* widget)
{
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        const QRect cursor = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int end = cursor.center().x() - 2;
        int left = 3;
        if (edit->hasSelectedText()) {
            left = end - edit->fontMetrics().horizontalAdvance(edit->selectedText()) + 3;
        }
        return QRect(QPoint(left, cursor.top() + 1), QPoint(end, cursor.bottom() - 1));
    }
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->contentsRect();
    }
    return widget->rect().adjusted(3, 3, -3, -3); // a button's bevel
}

// The background is the most common colour of the text area, the text the colour that
// stands out most from it; the ratio of the two is what a reader has to go by.
double textContrast(const QImage& image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    // The hash has no fixed order: ties go to the darker colour.
    const auto rarer = [](const auto& a, const auto& b) {
        return std::tie(a.second, b.first) < std::tie(b.second, a.first);
    };
    const QRgb background =
        std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), rarer)->first;
    const auto against = [&](QRgb colour) { return contrast(background, colour); };
    return against(std::ranges::max(counts.keys(), {}, against));
}

} // namespace

class TestThemeContrast : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_light = QApplication::palette(); }

    // Every text of both windows reaches 4.5:1 against its own background (WCAG AA). The
    // greyed clear button is left out: text of a disabled control is exempt.
    void everyTextIsLegible_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<bool>("settings");
        QTest::addColumn<bool>("focusAndSelect"); // the amount field focused, the rest selected
        for (const bool dark : {false, true}) {
            const char* theme = dark ? "dark" : "light";
            QTest::addRow("%s main window", theme) << dark << false << false;
            QTest::addRow("%s main window, focus and selections", theme) << dark << false << true;
            QTest::addRow("%s settings window", theme) << dark << true << false;
        }
    }
    void everyTextIsLegible()
    {
        QFETCH(bool, dark);
        QFETCH(bool, settings);
        QFETCH(bool, focusAndSelect);
        QApplication::setPalette(dark ? darkPalette() : m_light);

        ProgramHarness<QtPlatform> program;
        QWidget* window = program.showWindow(settings);
        program.window.recalculateTimer()->setEnabled(false); // keeps the selections
        QVERIFY(QTest::qWaitForWindowExposed(window));
        if (focusAndSelect) {
            for (QLineEdit* edit : window->findChildren<QLineEdit*>()) {
                edit->selectAll();
            }
            QLineEdit* amount = window->findChild<QLineEdit*>("AMOUNT_IN_WALLET_1");
            amount->setFocus(Qt::MouseFocusReason);
            amount->deselect();
            QTRY_VERIFY(amount->hasFocus());
        }

        QStringList failures;
        std::pair<double, QString> lowest(1e9, QString());
        int measured = 0;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const bool hasText = qobject_cast<QLabel*>(widget) ||
                                 qobject_cast<QLineEdit*>(widget) ||
                                 qobject_cast<QAbstractButton*>(widget);
            if (!hasText || widget->window() != window || !widget->isEnabled()) {
                continue;
            }
            ++measured;
            const double ratio = textContrast(widget->grab().toImage().copy(textArea(widget)));
            const QString figure =
                QString::asprintf("%s %.2f:1", qPrintable(widget->objectName()), ratio);
            lowest = std::min(lowest, std::pair(ratio, figure));
            if (ratio < 4.5) {
                failures.append(figure);
            }
        }
        qInfo("%d texts, the lowest %s", measured, qPrintable(lowest.second));
        QVERIFY(measured >= 7); // the settings window has 9, two of them greyed here
        QVERIFY2(failures.isEmpty(), qPrintable("below 4.5:1: " + failures.join(", ")));
    }

private:
    QPalette m_light;
};

QTEST_MAIN(TestThemeContrast)
#include "tst_theme_contrast.moc"
