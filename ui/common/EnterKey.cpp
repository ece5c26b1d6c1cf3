#include "EnterKey.h"

#include <QKeyEvent>
#include <QPushButton>

namespace varneth {

bool EnterKey::pressFocusedButton(const QWidget& window, QKeyEvent& event)
{
    if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter) {
        return false;
    }
    if (auto* button = qobject_cast<QPushButton*>(window.focusWidget());
        button && button->isEnabled()) {
        button->click();
    }
    event.accept();
    return true;
}

} // namespace varneth
