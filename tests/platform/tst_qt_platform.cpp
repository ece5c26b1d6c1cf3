#include "QtPlatform.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtTest>

using namespace varneth;

static WindowHandle handleOf(QWindow& window)
{
    return static_cast<WindowHandle>(window.winId());
}

// Shows a small window, in the stay-on-top group or not, and waits until it can be seen.
static bool show(QWindow& window, bool onTop = false)
{
    window.setFlag(Qt::WindowStaysOnTopHint, onTop);
    window.resize(100, 100);
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

// The generic backend on the offscreen platform: it sees and restacks our own windows only.
class TestQtPlatform : public QObject
{
    Q_OBJECT

private slots:
    void createdForPlatformsWithoutBackend()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        QVERIFY(dynamic_cast<QtPlatform*>(Platform::create().get()));
    }

    void foregroundIsOurActiveWindowOrNone()
    {
        QtPlatform platform;
        QCOMPARE(platform.foregroundWindow(), WindowHandle(0));
        {
            QWindow first, second;
            QVERIFY(show(first) && show(second));
            first.requestActivate();
            QVERIFY(QTest::qWaitForWindowActive(&first));
            QCOMPARE(platform.foregroundWindow(), handleOf(first));

            second.requestActivate();
            QVERIFY(QTest::qWaitForWindowActive(&second));
            QCOMPARE(platform.foregroundWindow(), handleOf(second));
        }
        QCOMPARE(platform.foregroundWindow(), WindowHandle(0));
    }

    void setTopmostTogglesHintOnOwnWindow_data()
    {
        QTest::addColumn<bool>("initiallyOnTop");
        QTest::addColumn<bool>("topmost");
        QTest::newRow("joins the group") << false << true;
        QTest::newRow("leaves the group") << true << false;
        QTest::newRow("stays in the group") << true << true;
        QTest::newRow("stays out of the group") << false << false;
    }
    void setTopmostTogglesHintOnOwnWindow()
    {
        QFETCH(bool, initiallyOnTop);
        QFETCH(bool, topmost);
        QWindow window;
        QVERIFY(show(window, initiallyOnTop));
        const Qt::WindowFlags before = window.flags();

        QtPlatform().setTopmost(handleOf(window), topmost);

        QCOMPARE(window.flags().testFlag(Qt::WindowStaysOnTopHint), topmost);
        // Only the hint changes; the window keeps its kind and its other hints.
        QCOMPARE(window.flags() & ~Qt::WindowStaysOnTopHint, before & ~Qt::WindowStaysOnTopHint);
        QVERIFY(window.isVisible());
    }

    void setTopmostLeavesOtherWindowsAlone_data()
    {
        QTest::addColumn<bool>("topmost");
        QTest::newRow("join") << true;
        QTest::newRow("leave") << false;
    }
    void setTopmostLeavesOtherWindowsAlone()
    {
        QFETCH(bool, topmost);
        QWindow shown;
        QVERIFY(show(shown, !topmost));
        // Never shown, so it has no native window yet; restacking must not give it one.
        QWindow unshown;
        unshown.setFlag(Qt::WindowStaysOnTopHint, !topmost);

        QtPlatform platform;
        platform.setTopmost(handleOf(shown) + 0x10000, topmost); // another program's
        platform.setTopmost(0, topmost);

        QCOMPARE(shown.flags().testFlag(Qt::WindowStaysOnTopHint), !topmost);
        QCOMPARE(unshown.flags().testFlag(Qt::WindowStaysOnTopHint), !topmost);
        QVERIFY(unshown.handle() == nullptr);
    }
};

QTEST_MAIN(TestQtPlatform)
#include "tst_qt_platform.moc"
