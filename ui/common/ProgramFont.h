#pragma once

#include <QFont>

namespace varneth {

// Every text is set in "MS Sans Serif"; where that face is missing, Liberation Sans
// keeps the metrics close, and the desktop's sans serif is the last resort.
class ProgramFont
{
public:
    static QFont make(qreal pointSize, bool bold);
};

} // namespace varneth
