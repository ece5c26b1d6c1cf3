#pragma once

#include <QStringView>

class QWidget;

namespace varneth {

// Both windows wear the same frame: a fixed tool window with a small title bar, a close
// box only, the program's caption and icon.
class ToolWindowFrame
{
public:
    static constexpr QStringView kCaption = u"HOLBRECK - VARNETH";

    static void apply(QWidget& window);
};

} // namespace varneth
