#pragma once

class QKeyEvent;
class QWidget;

namespace varneth {

// Enter presses the command button that has the focus, as Space does, in both windows.
// Neither window has a default button, so a focused button passes Enter on to its window,
// which hands it here; in a field or on a tick box Enter does nothing.
class EnterKey
{
public:
    // Whether the key was Enter or Return; it is then accepted and goes no further.
    static bool pressFocusedButton(const QWidget& window, QKeyEvent& event);
};

} // namespace varneth
