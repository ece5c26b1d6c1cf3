#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace varneth {

// Every text is set in "MS Sans Serif"; where that face is missing, Liberation Sans
// keeps the metrics close, and the desktop's sans serif is the last resort.
class ProgramFont
{
public:
    static QFont make(qreal pointSize, bool bold);

    // Gives a control of fixed size the font its caption is laid out in or, where the
    // caption does not fit inside the control with the usual margin in the face the
    // machine has, the largest smaller size of that face and weight in which it does.
    // Call it again whenever the caption changes. textFlags say how the caption is
    // drawn: on one line, or word-wrapped.
    static void fitCaption(QWidget& control, const QFont& font, int textFlags = Qt::TextSingleLine);

    // Where a control draws its caption, less the usual margin, in the given font: a
    // button's contents less half its margin on either side, a label's contents less
    // half an "x" on either side when it has a frame (as Qt indents framed text), and a
    // tick box's width less what its style sets around the caption.
    static QRect captionRoom(const QWidget& control, const QFont& font);
};

} // namespace varneth
