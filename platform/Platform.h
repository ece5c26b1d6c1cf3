#pragma once

#include "Activation.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

class QWindow;

namespace varneth {

// A native window handle: an X11 window id on X11, a QWindow's winId elsewhere, 0 for none.
using WindowHandle = quintptr;

// What the program needs from the desktop that Qt itself does not give: the window the
// user is working in, the always-on-top group, and starting the desktop's calculator.
class Platform
{
public:
    virtual ~Platform() = default;

    // The window the user is working in, or 0.
    virtual WindowHandle foregroundWindow() = 0;

    // Moves the window into (true) or out of (false) the always-on-top group without
    // moving or resizing it. The outcome is not reported.
    virtual void setTopmost(WindowHandle window, bool topmost) = 0;

    // Whether the desktop has the window in the always-on-top group now: how a request of
    // setTopmost() turned out. Where it cannot tell, yes.
    virtual bool isTopmost(WindowHandle /*window*/) { return true; }

    // Starts the desktop's calculator with the user's own rights and the environment the
    // program was started with, and changes nothing else. Returns whether a calculator
    // started: false when none is installed or it would not start (the log says which).
    virtual bool startCalculator() = 0;

    // Gives a top-level window the desktop hints of a fixed tool window that its Qt window
    // flags do not give on every desktop: no taskbar or pager entry, and a title bar with
    // a close box only. Call it when the window has its native handle and before each
    // time it is shown; the desktop may forget the hints while the window is hidden.
    // Where the flags already say it all, it does nothing.
    virtual void prepareToolWindow(WindowHandle /*window*/) {}

    // Where the desktop really has the top-left of the window's frame, in Qt's
    // device-independent pixels as QWidget::pos() counts them, when it can say so better
    // than Qt; nullopt means Qt's own notion (QWidget::pos()) is as good as it gets.
    virtual std::optional<QPoint> frameTopLeft(WindowHandle /*window*/) { return std::nullopt; }

    // Moves the window's frame so that its top-left is there (as frameTopLeft() counts
    // it), without resizing it; false where the desktop cannot say better than Qt.
    virtual bool moveFrameTo(WindowHandle /*window*/, QPoint /*topLeft*/) { return false; }

    // Gives the window that size (device-independent pixels) without moving it; false
    // where the desktop cannot say better than Qt.
    virtual bool resizeInPlace(WindowHandle /*window*/, QSize /*size*/) { return false; }

    // Asks the window manager to take a maximised or full-screen state off the window;
    // false where the desktop cannot, and Qt's own request is used.
    virtual bool dropImposedStates(WindowHandle /*window*/) { return false; }

    // Has the window manager let go of the window and take it on again, framed afresh with
    // its frame's top-left there and none of the states it had imposed: for a manager that
    // keeps listing a state it was asked to drop. False where the desktop cannot.
    virtual bool remanage(WindowHandle /*window*/, QPoint /*topLeft*/) { return false; }

    // Whether setTopmost() can keep a window above others on this desktop at all.
    virtual bool canKeepOnTop() { return false; }

    // Brings one of our shown windows to the front with the keyboard, for a start of the
    // program the user just made: the launcher's startup id or activation token tells a
    // desktop that guards against windows stealing the focus that the user asked for it.
    // Whether it obeys is the desktop's call. Here: Qt's own request, with the token where
    // Qt takes one (Qt 6.4 on Wayland does not).
    virtual void activate(QWindow& window, const Activation& launch);

    // Ends the launcher's startup feedback (its busy cursor, its "starting" entry) for a
    // start that shows no window of its own and hands the launch to no other VARNETH: one
    // that gives up. A shown window ends it itself, and so does activate().
    virtual void completeLaunch(const Activation& /*launch*/) {}

    // The implementation for the running QGuiApplication's platform (X11 or generic).
    static std::unique_ptr<Platform> create();
};

} // namespace varneth
