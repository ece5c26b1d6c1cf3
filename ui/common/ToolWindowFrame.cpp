#include "ToolWindowFrame.h"

#include <QIcon>
#include <QWidget>

namespace varneth {

void ToolWindowFrame::apply(QWidget& window)
{
    window.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    window.setWindowTitle(kCaption.toString());
    window.setWindowIcon(QIcon(QStringLiteral(":/varneth/icon.png")));
}

} // namespace varneth
