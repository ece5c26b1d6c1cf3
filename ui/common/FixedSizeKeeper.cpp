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
    if (watched == &m_window &&
        (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange) &&
        !m_pending && m_refused < kMaxRefused) {
        const QSize fixed = m_window.minimumSize();
        const bool imposed =
            fixed == m_window.maximumSize() &&
            (m_window.size() != fixed || (m_window.windowState() & kImposedStates));
        if (imposed) {
            // After the event: the window is still in the middle of handling the change.
            m_pending = true;
            QMetaObject::invokeMethod(this, &FixedSizeKeeper::restoreSize, Qt::QueuedConnection);
        } else if (event->type() == QEvent::Resize) {
            m_refused = 0;
        }
    }
    return false;
}

void FixedSizeKeeper::restoreSize()
{
    m_pending = false;
    ++m_refused;
    if (m_window.windowState() & kImposedStates) {
        m_window.setWindowState(m_window.windowState() & ~kImposedStates);
    }
    m_window.resize(m_window.minimumSize());
}

} // namespace varneth
