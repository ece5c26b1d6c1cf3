#include "PlatformSelection.h"
#include "X11TestMain.h"

#include <QtTest>

using namespace varneth;

namespace {

// Sets or, for a null value, removes an environment variable.
void setVariable(const char* name, const QByteArray& value)
{
    if (value.isNull()) {
        qunsetenv(name);
    } else {
        qputenv(name, value);
    }
}

} // namespace

// The start-up choice of the Qt platform. Needs the X display the test runs on, whose name
// it finds in DISPLAY, for the case that the display is reachable.
class TestPlatformSelection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void prefersXcbOnlyWhenUnsetAndReachable_data();
    void prefersXcbOnlyWhenUnsetAndReachable();

private:
    QByteArray m_display;
    QByteArray m_platform;
};

void TestPlatformSelection::initTestCase()
{
    m_display = qgetenv("DISPLAY");
    m_platform = qgetenv("QT_QPA_PLATFORM");
    VARNETH_REQUIRE_X11();
}

void TestPlatformSelection::cleanup()
{
    setVariable("DISPLAY", m_display);
    setVariable("QT_QPA_PLATFORM", m_platform);
}

void TestPlatformSelection::prefersXcbOnlyWhenUnsetAndReachable_data()
{
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<QByteArray>("display"); // "@" stands for the test's own display
    QTest::addColumn<QByteArray>("expected");
    // What the programs this one starts (the calculator) find: the user's own choice.
    QTest::addColumn<QString>("inherited");

    const QByteArray unset;
    const QString none;
    QTest::newRow("unset, display reachable")
        << unset << QByteArray("@") << QByteArray("xcb") << none;
    QTest::newRow("empty, display reachable")
        << QByteArray("") << QByteArray("@") << QByteArray("xcb") << none;
    QTest::newRow("explicit wayland wins")
        << QByteArray("wayland") << QByteArray("@") << QByteArray("wayland") << "wayland";
    QTest::newRow("explicit xcb stays the user's")
        << QByteArray("xcb") << QByteArray("@") << QByteArray("xcb") << "xcb";
    QTest::newRow("explicit offscreen wins")
        << QByteArray("offscreen") << QByteArray("@") << QByteArray("offscreen") << "offscreen";
    QTest::newRow("no DISPLAY") << unset << unset << unset << none;
    QTest::newRow("empty DISPLAY") << unset << QByteArray("") << unset << none;
    QTest::newRow("DISPLAY without a server") << unset << QByteArray(":4711") << unset << none;
    QTest::newRow("DISPLAY unparsable") << unset << QByteArray("no display here") << unset << none;
}

void TestPlatformSelection::prefersXcbOnlyWhenUnsetAndReachable()
{
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, expected);
    QFETCH(QString, inherited);
    setVariable("QT_QPA_PLATFORM", platform);
    setVariable("DISPLAY", display == "@" ? m_display : display);

    PlatformSelection::preferX11();

    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (expected.isNull()) {
        QVERIFY2(chosen.isEmpty(), chosen.constData());
    } else {
        QCOMPARE(chosen, expected);
    }
    const QProcessEnvironment environment = PlatformSelection::startEnvironment();
    QCOMPARE(environment.value(QStringLiteral("QT_QPA_PLATFORM"), QString()), inherited);
}

VARNETH_X11_TEST_MAIN(TestPlatformSelection)
#include "tst_platform_selection.moc"
