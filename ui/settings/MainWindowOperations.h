#pragma once

#include "ValuationField.h"

#include <QPoint>
#include <QString>
#include <optional>

class QWidget;

namespace varneth {

// What the settings window may do to the main window: switch its two optional timers,
// rewrite its fields and frame its owned window like itself.
class MainWindowOperations
{
public:
    virtual ~MainWindowOperations() = default;

    virtual QWidget* window() = 0;
    virtual void setAlwaysOnTopEnabled(bool enabled) = 0;
    virtual void setAutosaveEnabled(bool enabled) = 0;
    virtual QString fieldText(ValuationField field) const = 0;
    virtual void setFieldText(ValuationField field, const QString& text) = 0;
    // Gives a window the main window owns the desktop frame hints of the main window's own
    // frame; call it before each showing.
    virtual void prepareOwnedToolWindow(QWidget& /*window*/) {}
    // Where the desktop has the frame of a window the main window owns, when it knows
    // better than Qt; see Platform::frameTopLeft.
    virtual std::optional<QPoint> ownedFrameTopLeft(QWidget& /*window*/) { return std::nullopt; }
    // Whether the desktop lets the main window keep itself above other windows at all.
    virtual bool canKeepOnTop() = 0;
};

} // namespace varneth
