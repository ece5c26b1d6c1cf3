#include "FakePlatform.h"
#include "KeepOnTop.h"

#include <QTimer>
#include <QtTest>

using namespace varneth;

namespace {

constexpr WindowHandle Own = 0x100;
constexpr WindowHandle Other = 0x200;
constexpr WindowHandle OtherLater = 0x300;

// The calls in order, one word each: "fg=ANSWER", "top+=WINDOW" or "top-=WINDOW".
QString describe(const QList<FakePlatform::Call>& calls)
{
    QStringList words;
    for (const FakePlatform::Call& call : calls) {
        switch (call.kind) {
        case FakePlatform::Call::Kind::Foreground:
            words << QStringLiteral("fg=%1").arg(call.window, 0, 16);
            break;
        case FakePlatform::Call::Kind::SetTopmost:
            words << QStringLiteral("top%1=%2")
                         .arg(call.topmost ? QLatin1Char('+') : QLatin1Char('-'))
                         .arg(call.window, 0, 16);
            break;
        case FakePlatform::Call::Kind::StartCalculator:
            words << QStringLiteral("calculator");
            break;
        case FakePlatform::Call::Kind::Activate:
            words << QStringLiteral("activate=%1").arg(call.window, 0, 16);
            break;
        }
    }
    return words.join(QLatin1Char(' '));
}

} // namespace

class TestKeepOnTop : public QObject
{
    Q_OBJECT

private slots:
    void tickFollowsForeground_data();
    void tickFollowsForeground();
    void disablingTimerStopsTicksAndUndoesNothing();
};

void TestKeepOnTop::tickFollowsForeground_data()
{
    QTest::addColumn<QList<WindowHandle>>("answers");
    QTest::addColumn<QString>("expected");

    QTest::newRow("own window active: one question, nothing else")
        << QList<WindowHandle>{Own} << QStringLiteral("fg=100");
    QTest::newRow("other window active: it leaves the group, ours joins")
        << QList<WindowHandle>{Other, Other} << QStringLiteral("fg=200 fg=200 top-=200 top+=100");
    QTest::newRow("foreground changed between the questions: the second one is restacked")
        << QList<WindowHandle>{Other, OtherLater}
        << QStringLiteral("fg=200 fg=300 top-=300 top+=100");
    QTest::newRow("own window active only at the second question: taken as asked")
        << QList<WindowHandle>{Other, Own} << QStringLiteral("fg=200 fg=100 top-=100 top+=100");
    QTest::newRow("no foreground window: none restacked, ours still joins")
        << QList<WindowHandle>{0, 0} << QStringLiteral("fg=0 fg=0 top-=0 top+=100");
}

void TestKeepOnTop::tickFollowsForeground()
{
    QFETCH(QList<WindowHandle>, answers);
    QFETCH(QString, expected);

    FakePlatform platform;
    platform.setForegroundAnswers(answers);
    KeepOnTop keepOnTop(platform);
    keepOnTop.tick(Own);

    QCOMPARE(describe(platform.calls()), expected);
}

void TestKeepOnTop::disablingTimerStopsTicksAndUndoesNothing()
{
    FakePlatform platform;
    platform.setForeground(Other);
    KeepOnTop keepOnTop(platform);

    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] { keepOnTop.tick(Own); });
    timer.start();

    QTRY_VERIFY_WITH_TIMEOUT(platform.calls().size() >= 8, 5000); // two ticks at least
    QCOMPARE(describe(platform.calls().mid(0, 4)),
             QStringLiteral("fg=200 fg=200 top-=200 top+=100"));

    timer.stop();
    platform.clearCalls();
    // Ten of the test's intervals: ample for a tick that should not come.
    QTest::qWait(50);
    QCOMPARE(describe(platform.calls()), QString());
}

QTEST_GUILESS_MAIN(TestKeepOnTop)
#include "tst_keepontop.moc"
