#pragma once

#include <QPalette>

class QWidget;

namespace varneth {

// A control whose background the layout fixes to a light colour. The layout was drawn
// for dark text on it, so the text is fixed too: under a dark desktop theme the theme's
// near-white text would all but vanish on the light colour. Placeholder and selection
// get colours that read on any light background.
class LightBackground
{
public:
    // role is QPalette::Window for a label, QPalette::Base for a text box; bgr is
    // written &H00BBGGRR.
    static void apply(QWidget& widget, QPalette::ColorRole role, quint32 bgr);
};

} // namespace varneth
