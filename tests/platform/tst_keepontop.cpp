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
    using Kind = FakePlatform::Call::Kind;
    QStringList words;
    for (const FakePlatform::Call& call : calls) {
        const QString window = QString::number(call.window, 16);
        words << (call.kind == Kind::Foreground   ? "fg=" + window
                  : call.kind == Kind::SetTopmost ? (call.topmost ? "top+=" : "top-=") + window
                  : call.kind == Kind::Activate   ? "activate=" + window
                                                  : QStringLiteral("calculator"));
    }
    return words.join(u' ');
}

} // namespace

class TestKeepOnTop : public QObject
{
    Q_OBJECT

private slots:
    void tickFollowsForeground_data()
    {
        QTest::addColumn<QList<WindowHandle>>("answers");
        QTest::addColumn<QString>("expected");

        QTest::newRow("own window active: one question, nothing else")
            << QList<WindowHandle>{Own} << QString("fg=100");
        QTest::newRow("other window active: it leaves the group, ours joins")
            << QList<WindowHandle>{Other, Other} << QString("fg=200 fg=200 top-=200 top+=100");
        QTest::newRow("foreground changed between the questions: the second one is restacked")
            << QList<WindowHandle>{Other, OtherLater} << QString("fg=200 fg=300 top-=300 top+=100");
        QTest::newRow("own window active only at the second question: taken as asked")
            << QList<WindowHandle>{Other, Own} << QString("fg=200 fg=100 top-=100 top+=100");
        QTest::newRow("no foreground window: none restacked, ours still joins")
            << QList<WindowHandle>{0, 0} << QString("fg=0 fg=0 top-=0 top+=100");
    }
    void tickFollowsForeground()
    {
        QFETCH(QList<WindowHandle>, answers);
        FakePlatform platform;
        platform.setForegroundAnswers(answers);
        KeepOnTop(platform).tick(Own);
        QTEST(describe(platform.calls()), "expected");
    }

    void asksUntilTheDesktopRefuses_data()
    {
        QTest::addColumn<bool>("grants");
        QTest::newRow("granted: every tick restacks") << true;
        QTest::newRow("never granted: asking stops after the patience") << false;
    }
    void asksUntilTheDesktopRefuses()
    {
        QFETCH(bool, grants);
        FakePlatform platform;
        platform.setForeground(Other);
        platform.setGrantsTopmost(grants);
        KeepOnTop keepOnTop(platform);
        keepOnTop.tick(Own);
        platform.clearCalls();
        for (int tick = 1; tick <= KeepOnTop::kPatience; ++tick) {
            keepOnTop.tick(Own);
        }
        // Unanswered, ours is asked again and the other window left alone.
        QCOMPARE(describe(platform.calls()).count("top-=200"), grants ? KeepOnTop::kPatience : 0);
        QCOMPARE(keepOnTop.desktopRefuses(), !grants);
        platform.clearCalls();
        keepOnTop.tick(Own);
        QCOMPARE(describe(platform.calls()),
                 grants ? QString("fg=200 fg=200 top-=200 top+=100") : QString());
    }

    void disablingTimerStopsTicksAndUndoesNothing()
    {
        FakePlatform platform;
        platform.setForeground(Other);
        KeepOnTop keepOnTop(platform);
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { keepOnTop.tick(Own); });
        timer.start(5);

        QTRY_VERIFY_WITH_TIMEOUT(platform.calls().size() >= 8, 5000); // two ticks at least
        QCOMPARE(describe(platform.calls().mid(0, 4)), QString("fg=200 fg=200 top-=200 top+=100"));

        timer.stop();
        platform.clearCalls();
        // Ten of the test's intervals: ample for a tick that should not come.
        QTest::qWait(50);
        QCOMPARE(describe(platform.calls()), QString());
    }
};

QTEST_GUILESS_MAIN(TestKeepOnTop)
#include "tst_keepontop.moc"
