#include "FixedSizeKeeper.h"

#include "UiLog.h"
#include "WindowGeometry.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace varneth {

namespace {

constexpr Qt::WindowStates kImposedStates = Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

FixedSizeKeeper::FixedSizeKeeper(QWidget& window) : QObject(&window), m_window(window)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &FixedSizeKeeper::settle);
    window.installEventFilter(this);
}

FixedSizeKeeper* FixedSizeKeeper::of(const QWidget& window)
{
    return window.findChild<FixedSizeKeeper*>(QString(), Qt::FindDirectChildrenOnly);
}

std::optional<QPoint> FixedSizeKeeper::heldPlace() const
{
    // A move of the user's or the program's own, just made, is the window's place already.
    return imposed() || (m_incident && m_corrections > 0) ? m_place : std::nullopt;
}

bool FixedSizeKeeper::isFixed() const
{
    return m_window.minimumSize() == m_window.maximumSize();
}

bool FixedSizeKeeper::imposedState() const
{
    return m_window.windowState() & kImposedStates;
}

bool FixedSizeKeeper::imposed() const
{
    return isFixed() && (imposedState() || m_window.size() != m_window.minimumSize());
}

QPoint FixedSizeKeeper::currentPlace() const
{
    const std::optional<QPoint> frame =
        m_desktop.frameTopLeft ? m_desktop.frameTopLeft() : std::nullopt;
    return frame.value_or(m_window.pos());
}

bool FixedSizeKeeper::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched != &m_window || !isFixed() ||
        (type != QEvent::Move && type != QEvent::Resize && type != QEvent::WindowStateChange &&
         type != QEvent::Show)) {
        return false;
    }
    if (type == QEvent::Show) {
        // Shown where the store put it: that is its place, which a manager that places
        // windows by its own rule and ignores the user-specified position (ICCCM
        // USPosition; awesome) is asked to keep. What it held before it was hidden is
        // gone.
        m_incident = true;
        m_corrections = 0;
        m_stateAsked = false;
        m_place = m_window.pos();
    }
    if (imposed() && !m_incident) {
        // The moves that came just before, the window manager's first step, are not the
        // window's own: the place it keeps is the one from before them.
        m_incident = true;
        m_corrections = 0;
        m_stateAsked = false;
    }
    if (type == QEvent::Move && m_askedAfterMove && m_place && m_window.pos() == *m_place) {
        // The states held without a word went, and the window is back: a move after this
        // is a new one, to be asked about again.
        m_askedAfterMove = false;
    }
    // Judged once the window manager has finished: every step of it restarts the wait.
    m_settle.start();
    return false;
}

void FixedSizeKeeper::settle()
{
    m_settle.stop();
    if (!m_window.isVisible()) {
        return;
    }
    if (imposed()) {
        m_incident = true;
        correct();
        return;
    }
    const QPoint place = currentPlace();
    const QPoint off = m_place ? place - *m_place : QPoint();
    // A pixel either way is the frame's rounding at a fractional scale, not a move; and a
    // Wayland client is never told where it is.
    const bool moved =
        std::max(std::abs(off.x()), std::abs(off.y())) > 1 && WindowGeometry::positionIsKnown();
    if (moved && !m_askedAfterMove && m_desktop.dropStates) {
        // A manager may maximise a window without listing the state (fvwm), and then puts
        // it anywhere but back: a move that no state explains is first answered by asking
        // for the states to go, which changes nothing where none is held, as after the
        // user's own move.
        m_askedAfterMove = true;
        m_desktop.dropStates();
        m_settle.start();
        return;
    }
    if (m_incident && moved && m_corrections < kMaxCorrections) {
        // The window manager put the size back, or the window did, but not the place: a
        // maximise or full screen left it in the corner.
        ++m_corrections;
        if (!(m_desktop.moveFrameTo && m_desktop.moveFrameTo(*m_place))) {
            m_window.move(*m_place);
        }
        m_settle.start();
        return;
    }
    // Settled in no imposed state: this is the window's own place, whether the user moved
    // it there or it went back there.
    m_askedAfterMove = false;
    m_incident = false;
    m_corrections = 0;
    m_place = place;
}

void FixedSizeKeeper::correct()
{
    if (m_corrections >= kMaxCorrections) {
        if (m_corrections++ == kMaxCorrections) {
            qCWarning(lcUi) << "the window manager keeps imposing a size on"
                            << m_window.objectName() << "- left as it is until the next change";
        }
        return;
    }
    ++m_corrections;
    if (imposedState() && m_stateAsked && m_place && m_desktop.remanage) {
        // Asked once, the window manager still lists the state (awesome keeps a maximise
        // for good): it lets go of the window and takes it on again where it was.
        m_stateAsked = false;
        const bool active = m_window.isActiveWindow();
        if (m_desktop.remanage(*m_place) && active) {
            // Taken on afresh, it is a new window to the manager: it keeps the keyboard.
            m_window.activateWindow();
        }
    } else if (imposedState()) {
        // Leaving a state, the window manager puts back the geometry it had before; what it
        // leaves wrong is seen to once it has done so.
        m_stateAsked = true;
        const bool asked = m_desktop.dropStates && m_desktop.dropStates();
        if (!asked) {
            m_window.setWindowState(m_window.windowState() & ~kImposedStates);
        }
    } else {
        const QSize fixed = m_window.minimumSize();
        const bool resized = m_desktop.resizeInPlace && m_desktop.resizeInPlace(fixed);
        if (!resized) {
            m_window.resize(fixed);
        }
    }
    // Looked at again even if the window manager answers nothing.
    m_settle.start();
}

} // namespace varneth
