#include "FixedSizeKeeper.h"

#include <QEvent>
#include <QWidget>

namespace varneth {

namespace {

constexpr int kMaxRefused = 3;
constexpr Qt::WindowStates kImposedStates = Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

FixedSizeKeeper::FixedSizeKeeper(QWidget& window) : QObject(&window), m_window(window)
{
    window.installEventFilter(this);
}

bool FixedSizeKeeper::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched != &m_window || m_pending || m_refused >= kMaxRefused ||
        (type != QEvent::Move && type != QEvent::Resize && type != QEvent::WindowStateChange)) {
        return false;
    }
    const QSize fixed = m_window.minimumSize();
    const bool imposed = fixed == m_window.maximumSize() &&
                         (m_window.size() != fixed || (m_window.windowState() & kImposedStates));
    if (type == QEvent::Move) {
        // Qt tells of a new size before the new position that came with it, so the move
        // of a maximise finds the window imposed upon already and is not taken.
        if (!imposed) {
            m_place = m_window.pos();
        }
    } else if (imposed) {
        // After the event: the window is still in the middle of handling the change.
        m_pending = true;
        QMetaObject::invokeMethod(this, &FixedSizeKeeper::restoreSize, Qt::QueuedConnection);
    } else if (type == QEvent::Resize) {
        m_refused = 0;
    }
    return false;
}

void FixedSizeKeeper::restoreSize()
{
    m_pending = false;
    ++m_refused;
    // Where the window manager says the window is maximised or full-screen, it has moved
    // it too. A size another program asked for leaves it where it stood, and moving it then
    // would only carry the place as Qt last heard it into the store: a device pixel off at
    // 144 dpi under mutter, IceWM's border off while IceWM maps it.
    const bool stateImposed = m_window.windowState() & kImposedStates;
    if (stateImposed) {
        m_window.setWindowState(m_window.windowState() & ~kImposedStates);
    }
    m_window.resize(m_window.minimumSize());
    if (stateImposed && m_place && m_window.pos() != *m_place) {
        m_window.move(*m_place);
    }
}

} // namespace varneth
