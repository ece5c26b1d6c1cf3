#include "ToolWindowFrame.h"

#include "FixedSizeKeeper.h"

#include <QIcon>
#include <QWidget>

namespace varneth {

void ToolWindowFrame::apply(QWidget& window)
{
    // Not Qt::Tool: Qt makes every tool window transient for its hidden client leader, and
    // KWin offers minimising to a window transient for a window that is not shown. An
    // owned window is a dialog of its owner; the rest of a tool window's frame (no
    // taskbar entry, no resizing, the type each desktop honours) is the platform's to add
    // before showing.
    const Qt::WindowType type = window.parentWidget() ? Qt::Dialog : Qt::Window;
    window.setWindowFlags(type | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    window.setWindowTitle(kCaption.toString());
    window.setWindowIcon(QIcon(QStringLiteral(":/varneth/icon.png")));
    new FixedSizeKeeper(window);
}

} // namespace varneth
