#include "ProgramHarness.h"
#include "QtPlatform.h"
#include "Twips.h"
#include "WrappedCaptionButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStyleOptionButton>

using namespace varneth;

namespace {

QString describe(const QWidget* widget)
{
    const QRect r = widget->geometry();
    return QString::asprintf("%s (%d,%d %dx%d)", qPrintable(widget->objectName()), r.x(), r.y(),
                             r.width(), r.height());
}

// A push button's size hint asks for a style minimum (80 px in the common styles) that
// has nothing to do with its caption, so a button is measured by the room its caption
// gets: the contents less the margin, on one line or, for a wrapping button, on several.
bool captionFits(QPushButton* button, QString* need)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button) / 2;
    const QRect room = button->style()
                           ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                           .adjusted(margin, 0, -margin, 0);
    const QFontMetrics metrics = button->fontMetrics();
    const QSize used =
        qobject_cast<WrappedCaptionButton*>(button)
            ? metrics.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, option.text).size()
            : QSize(metrics.horizontalAdvance(option.text), metrics.height());
    *need = QString::asprintf("%dx%d of %dx%d", used.width(), used.height(), room.width(),
                              room.height());
    return used.width() <= room.width() && used.height() <= room.height();
}

void checkCaptionsFit(QWidget* window)
{
    int checked = 0;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window || !widget->isVisibleTo(window)) {
            continue;
        }
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            ++checked;
            QString need;
            QVERIFY2(captionFits(button, &need),
                     qPrintable(QString("%1 caption takes %2").arg(describe(button), need)));
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            ++checked;
            // Inside the frame; the status bar leaves its panels a little less than a line.
            const QRect room = label->contentsRect();
            const bool panel = qobject_cast<QStatusBar*>(label->parentWidget());
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= room.width() &&
                         (panel || label->fontMetrics().height() <= room.height()),
                     qPrintable(describe(label) + " cuts off " + label->text()));
        } else if (qobject_cast<QCheckBox*>(widget)) {
            ++checked;
            const int need = widget->sizeHint().width();
            QVERIFY2(need <= widget->width(),
                     qPrintable(describe(widget) + QString(" needs %1 px").arg(need)));
        }
    }
    QVERIFY(checked >= 5);
}

void checkNothingOverlaps(QWidget* window)
{
    // The window's own controls, not its child windows and not what the controls hold.
    QList<QWidget*> controls;
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child->isVisibleTo(window)) {
            controls.append(child);
        }
    }
    QVERIFY(controls.size() >= 5);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QRect a = controls[i]->geometry();
        QVERIFY2(window->rect().contains(a), qPrintable(describe(controls[i]) + " sticks out"));
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            QVERIFY2(!a.intersects(controls[j]->geometry()),
                     qPrintable(describe(controls[i]) + " overlaps " + describe(controls[j])));
        }
    }
}

} // namespace

// Run with QT_SCALE_FACTOR=2: the whole window is drawn twice as large, so the layout in
// device-independent pixels stays the one of 96 dpi, while text is drawn with the finer
// metrics of the larger scale, which may need a few more pixels than at scale 1. Run on a
// screen of 144 dpi, the layout itself is half as large again, with fonts to match.
class TestScaledLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Layout values stay in twips at the logical 96 dpi; the scale does the rest.
        m_ratio = qgetenv("QT_SCALE_FACTOR") == "2" ? 2.0 : 1.0;
        QCOMPARE(Twips::screenDpi(), m_ratio == 2.0 ? 96.0 : 144.0);
    }

    void init()
    {
        m_program = std::make_unique<ProgramHarness<QtPlatform>>();
        QVERIFY(QTest::qWaitForWindowExposed(m_program->showWindow(true))); // the settings window
        QVERIFY(QTest::qWaitForWindowExposed(&m_program->window));
    }

    void cleanup() { m_program.reset(); }

    void windowsScaleAsAWhole_data() { windows(); }
    void windowsScaleAsAWhole()
    {
        QWidget* window = chosen();
        QCOMPARE(window->devicePixelRatio(), m_ratio);
        const QPixmap shot = window->grab();
        QCOMPARE(shot.size(), window->size() * m_ratio);
        QCOMPARE(shot.devicePixelRatio(), m_ratio);
    }

    void captionsFit_data() { windows(); }
    void captionsFit()
    {
        QWidget* window = chosen();
        QFETCH(bool, address);
        QVERIFY(!address || window->findChild<QLabel*>("VARNETH_CREATOR")->text().contains('@'));
        checkCaptionsFit(window);
    }

    void nothingOverlaps_data() { windows(); }
    void nothingOverlaps() { checkNothingOverlaps(chosen()); }

private:
    void windows()
    {
        QTest::addColumn<bool>("settings");
        QTest::addColumn<bool>("address");
        QTest::newRow("main window") << false << false;
        QTest::newRow("settings window") << true << false;
        QTest::newRow("settings window showing the creator's address") << true << true;
    }

    QWidget* chosen()
    {
        QFETCH(bool, settings);
        QFETCH(bool, address);
        if (!settings) {
            return &m_program->window;
        }
        SettingsWindow* window = m_program->settingsController.window();
        if (address) {
            QTest::mouseDClick(window->creatorLabel(), Qt::LeftButton);
        }
        return window;
    }

    std::unique_ptr<ProgramHarness<QtPlatform>> m_program;
    qreal m_ratio = 1;
};

QTEST_MAIN(TestScaledLayout)
#include "tst_scaled_layout.moc"
