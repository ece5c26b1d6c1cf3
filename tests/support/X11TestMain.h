#pragma once

#include "X11Probe.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

// X11 tests need a display with a window manager, which scripts/with-x11.sh provides. On a
// machine without one, Qt's xcb plugin would abort before any test ran; instead the test
// starts on the offscreen platform and skips every test with the reason.
namespace varneth::x11test {

inline bool missing = false;

} // namespace varneth::x11test

// The first statement of initTestCase() of every X11 test.
#define VARNETH_REQUIRE_X11()                                                                      \
    do {                                                                                           \
        if (varneth::x11test::missing) {                                                           \
            QSKIP("no X display: run it under scripts/with-x11.sh");                               \
        }                                                                                          \
    } while (false)

// The first statement of initTestCase() of the tests that work with a window manager: on
// Qt's xcb platform, with the probe connected and an EWMH window manager on the display.
#define VARNETH_REQUIRE_X11_DESKTOP(probe)                                                         \
    do {                                                                                           \
        VARNETH_REQUIRE_X11();                                                                     \
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));                          \
        QVERIFY((probe).isConnected());                                                            \
        QVERIFY2((probe).hasWindowManager(),                                                       \
                 "no EWMH window manager: run under scripts/with-x11.sh");                         \
    } while (false)

// Stored twips are whole pixels at the 96 dpi that Xvfb reports.
#define VARNETH_REQUIRE_96_DPI()                                                                   \
    QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0)

#define VARNETH_X11_TEST_MAIN(TestObject)                                                          \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !varneth::X11Probe().isConnected()) {        \
            varneth::x11test::missing = true;                                                      \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        }                                                                                          \
        QApplication app(argc, argv);                                                              \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
