#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <functional>
#include <optional>

class QWidget;

namespace varneth {

// Keeps a window of fixed size at that size and in its place. Some window managers obey
// another client's resize request, maximise a window or make it full screen even when its
// size hints say it cannot change (IceWM, Fluxbox, xfwm4, KWin, awesome, Window Maker,
// bspwm), from their own menus and keys or for another program. The window undoes each such
// change, as often as it comes: it drops the imposed state, lets the window manager put the
// frame back, puts its own size back where that is still wrong, and goes back to the last
// place it held at its own size.
//
// A window manager acts in steps (a move to the corner, then the new size, then the
// state), so nothing is judged until the window has been quiet for a moment: a place is
// only taken as the window's own once no imposed change followed it.
class FixedSizeKeeper : public QObject
{
    Q_OBJECT

public:
    // What the desktop knows of the frame better than Qt does; each answers nullopt or
    // false where it cannot, and Qt's own notion is used instead. Places are the frame's
    // top-left in device-independent pixels.
    struct Desktop
    {
        std::function<std::optional<QPoint>()> frameTopLeft;
        // Moves the frame there without resizing the window.
        std::function<bool(QPoint)> moveFrameTo;
        // Gives the window that size without moving it.
        std::function<bool(QSize)> resizeInPlace;
        // Asks for the imposed states to go.
        std::function<bool()> dropStates;
        // Has the window manager take the window on afresh, there and in no imposed state.
        std::function<bool(QPoint)> remanage;
    };

    // How long the window must be left alone before its geometry counts as settled.
    static constexpr int kSettleMs = 250;
    // Corrections of one incident; a window manager that re-imposes in a loop is not
    // argued with for ever, but the next incident is undone again.
    static constexpr int kMaxCorrections = 6;

    explicit FixedSizeKeeper(QWidget& window);

    // The keeper that ToolWindowFrame gave the window, if any.
    static FixedSizeKeeper* of(const QWidget& window);

    void setDesktop(Desktop desktop) { m_desktop = std::move(desktop); }

    // The place to store for the window: while an imposed change holds or is being undone,
    // the place it held before; otherwise nullopt, and the window's place is its own.
    std::optional<QPoint> heldPlace() const;

    // Judges the window's geometry now, as the settle timer does when it runs out.
    void settle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isFixed() const;
    bool imposedState() const;
    bool imposed() const;
    QPoint currentPlace() const;
    void correct();

    QWidget& m_window;
    Desktop m_desktop;
    QTimer m_settle;
    // Where the window last stood, settled, at its own size and in no imposed state.
    std::optional<QPoint> m_place;
    // An imposed change is being undone; it ends once the window is settled in its place.
    bool m_incident = false;
    int m_corrections = 0;
    // This incident's imposed state was asked to go once already.
    bool m_stateAsked = false;
    // The states were asked to go after a move, in case a manager holds one it does not list.
    bool m_askedAfterMove = false;
};

} // namespace varneth
