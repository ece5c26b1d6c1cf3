#pragma once

namespace varneth {

// How assistive tools see the main window. Being a plain QWidget, it would reach them as
// a filler pane inside nothing; screen readers present a top-level window by the frame
// role, so the main window is given the role of a window, its frame and layout unchanged.
class MainWindowAccessibility
{
public:
    // Registers the interface for main windows; installing it more than once is harmless.
    static void install();
};

} // namespace varneth
