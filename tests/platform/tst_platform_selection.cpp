#include "PlatformSelection.h"
#include "X11TestMain.h"

#include <QtTest>

using namespace varneth;

// Sets or, for a null value, removes an environment variable.
static void setVariable(const char* name, const QByteArray& value)
{
    value.isNull() ? qunsetenv(name) : qputenv(name, value);
}

// The start-up choice of the Qt platform. Needs the X display the test runs on, whose name
// it finds in DISPLAY, for the case that the display is reachable.
class TestPlatformSelection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { VARNETH_REQUIRE_X11(); }
    void cleanup()
    {
        setVariable("DISPLAY", m_display);
        setVariable("QT_QPA_PLATFORM", m_platform);
    }

    void prefersXcbOnlyWhenUnsetAndReachable_data()
    {
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QByteArray>("display"); // "@" stands for the test's own display
        QTest::addColumn<QByteArray>("expected");
        // What the programs this one starts (the calculator) find: the user's own choice.
        QTest::addColumn<QString>("inherited");

        const QByteArray unset, own("@"), xcb("xcb"), wayland("wayland"), offscreen("offscreen");
        const QString none;
        QTest::newRow("unset, display reachable") << unset << own << xcb << none;
        QTest::newRow("empty, display reachable") << QByteArray("") << own << xcb << none;
        QTest::newRow("explicit wayland wins") << wayland << own << wayland << "wayland";
        QTest::newRow("explicit xcb stays the user's") << xcb << own << xcb << "xcb";
        QTest::newRow("explicit offscreen wins") << offscreen << own << offscreen << "offscreen";
        QTest::newRow("no DISPLAY") << unset << unset << unset << none;
        QTest::newRow("empty DISPLAY") << unset << QByteArray("") << unset << none;
        QTest::newRow("DISPLAY without a server") << unset << QByteArray(":4711") << unset << none;
        QTest::newRow("DISPLAY unparsable")
            << unset << QByteArray("no display here") << unset << none;
    }
    void prefersXcbOnlyWhenUnsetAndReachable()
    {
        QFETCH(QByteArray, platform);
        QFETCH(QByteArray, display);
        setVariable("QT_QPA_PLATFORM", platform);
        setVariable("DISPLAY", display == "@" ? m_display : display);

        PlatformSelection::preferX11();

        // Null and empty compare equal: where it must be unset, set empty does as well.
        QTEST(qgetenv("QT_QPA_PLATFORM"), "expected");
        QTEST(PlatformSelection::startEnvironment().value("QT_QPA_PLATFORM"), "inherited");
    }

private:
    // As the test started: put back after each case.
    const QByteArray m_display = qgetenv("DISPLAY");
    const QByteArray m_platform = qgetenv("QT_QPA_PLATFORM");
};

VARNETH_X11_TEST_MAIN(TestPlatformSelection)
#include "tst_platform_selection.moc"
