#include "CursorBlinkLimiter.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>

using namespace varneth;

class TestCursorBlink : public QObject
{
    Q_OBJECT

private slots:
    void blinkingStopsWhenIdleAndResumesOnInput_data()
    {
        QTest::addColumn<int>("input");
        QTest::newRow("key") << int(QEvent::KeyPress);
        QTest::newRow("click") << int(QEvent::MouseButtonPress);
        QTest::newRow("focus") << int(QEvent::FocusIn);
    }
    void blinkingStopsWhenIdleAndResumesOnInput()
    {
        QFETCH(int, input);
        const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
        QVERIFY(flashTime > 0);
        QLineEdit edit;
        edit.show();
        {
            CursorBlinkLimiter limiter(50);
            QVERIFY(limiter.isBlinking());
            QTRY_VERIFY_WITH_TIMEOUT(!limiter.isBlinking(), 5000);
            QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);

            if (input == QEvent::KeyPress) {
                QTest::keyClick(&edit, Qt::Key_A);
            } else if (input == QEvent::MouseButtonPress) {
                QTest::mouseClick(&edit, Qt::LeftButton);
            } else {
                edit.clearFocus();
                QApplication::setActiveWindow(&edit);
                edit.setFocus();
            }
            QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), flashTime);
            // And it stops again after the next quiet spell.
            QTRY_VERIFY_WITH_TIMEOUT(!limiter.isBlinking(), 5000);
        }
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), flashTime);
    }
};

QTEST_MAIN(TestCursorBlink)
#include "tst_cursor_blink.moc"
