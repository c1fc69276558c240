// The voice receive stream after +VRX: the line's samples at the selected rate and compression, paced by
// the clock, every data DLE doubled, and DLE event codes where the modem's detectors fire.
#pragma once

#include "modemsim/Call.h"
#include "modemsim/SampleEncoder.h"

#include <string>

namespace modemsim {

class VoiceStream {
public:
    VoiceStream(const Compression& compression, int sampleRate, int silenceTenths, double startTime);

    /// Appends the stream bytes for the line time up to `now`.
    void produce(double now, const Call* call, std::string& out);
    /// Drops the samples up to `now` (the host does not read; the modem overruns).
    void skipTo(double now);
    long long bytesSent() const { return m_bytes; }
    /// Appends the event DLE `code` to the stream.
    void event(char code, std::string& out);

private:
    void frameEnd(SignalKind kind, std::string& out);

    SampleEncoder m_encoder;
    int m_rate;
    int m_silenceTenths;
    long long m_next; ///< the next sample's index on the line's time axis
    long long m_frameSamples = 0;
    double m_frameEnergy = 0;
    long long m_bytes = 0;
    int m_quietFrames = 0;
    bool m_heardSound = false;
    bool m_quietReported = false;
    bool m_silenceReported = false;
    bool m_busyOn = false;
    int m_dialFrames = -1;
};

} // namespace modemsim
