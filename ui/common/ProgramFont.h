#pragma once

#include <QFont>

class QWidget;

namespace varneth {

// Every text is set in "MS Sans Serif"; where that face is missing, Liberation Sans
// keeps the metrics close, and the desktop's sans serif is the last resort.
class ProgramFont
{
public:
    static QFont make(qreal pointSize, bool bold);

    // Where a caption is wider than its control's fixed width in the substitute face,
    // switches that control to the narrow cut of the face, same size and weight, so
    // the caption still fits instead of being cut off.
    static void fitCaption(QWidget& control);
};

} // namespace varneth
