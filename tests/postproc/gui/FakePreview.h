// A preview output and a trace for the window tests: they record what the windows ask of them.
#pragma once

#include "postproc/OverviewDisplay.h"
#include "postproc/PreviewOutput.h"

#include <QByteArrayList>
#include <stdexcept>

class FakePreview : public PreviewOutput {
    Q_OBJECT
public:
    QByteArrayList played;
    int stops = 0;
    bool playing = false;
    /// When set, play() raises it as the wave output does when it cannot open the device.
    QString failure;

    void play(const QByteArray& samples) override {
        if (!failure.isEmpty())
            throw std::runtime_error(failure.toStdString());
        played << samples;
        playing = true;
    }
    void stop() override {
        ++stops;
        if (playing) {
            playing = false;
            Q_EMIT finished();
        }
    }
    bool active() const override { return playing; }
    /// The last buffer has been played.
    void end() { playing = false; }
};

class FakeOverview : public OverviewDisplay {
public:
    QByteArrayList drawn;
    int clears = 0;
    void drawOverview(const QByteArray& samples) override { drawn << samples; }
    void clearDisplay() override { ++clears; }
};
