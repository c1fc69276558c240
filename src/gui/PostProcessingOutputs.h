// What the post-processing windows play and draw into: the preview on the wave output and the main
// window's signal trace.
#pragma once

#include "postproc/OverviewDisplay.h"
#include "postproc/PreviewOutput.h"
#include "sound/StreamPreview.h"

#include <QBuffer>

class OutputDevices;
class SignalTrace;

/// Plays the work file's samples through the program's preview output.
class WavePreviewOutput : public PreviewOutput {
    Q_OBJECT
public:
    explicit WavePreviewOutput(OutputDevices* devices, QObject* parent = nullptr);

    void play(const QByteArray& samples) override;
    void stop() override;
    bool active() const override;

private:
    StreamPreview m_preview;
    QBuffer m_samples;
};

/// Draws overviews into the main window's trace.
class TraceOverview : public OverviewDisplay {
public:
    explicit TraceOverview(SignalTrace& trace) : m_trace(trace) {}
    void drawOverview(const QByteArray& samples) override;
    void clearDisplay() override;

private:
    SignalTrace& m_trace;
};
