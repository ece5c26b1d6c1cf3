#pragma once

class QLabel;
class QString;

namespace varneth {

// The display labels of both windows: green text on black, centred, in a single-line box.
class DisplayLabel
{
public:
    static void style(QLabel& label, const QString& tooltip);
};

} // namespace varneth
