#include "ToolWindowFrame.h"

#include "FixedSizeKeeper.h"

#include <QIcon>
#include <QWidget>

namespace varneth {

void ToolWindowFrame::apply(QWidget& window)
{
    window.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    window.setWindowTitle(kCaption.toString());
    window.setWindowIcon(QIcon(QStringLiteral(":/varneth/icon.png")));
    new FixedSizeKeeper(window);
}

} // namespace varneth
