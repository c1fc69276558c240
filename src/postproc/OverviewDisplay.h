// The trace the post-processing windows draw their work file into.
#pragma once

#include <QByteArray>

/// The main window's signal trace as the post-processing windows use it (drawOverview and
/// clearDisplay of the trace).
class OverviewDisplay {
public:
    virtual ~OverviewDisplay() = default;
    /// Draws a whole stream of working-format samples over the width of the trace.
    virtual void drawOverview(const QByteArray& samples) = 0;
    virtual void clearDisplay() = 0;
};
