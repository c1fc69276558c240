// Producing the voice receive stream and its in-band events.
#include "modemsim/VoiceStream.h"

#include <cmath>

namespace modemsim {

namespace {

constexpr char DLE = 0x10;
constexpr int FramesPerSecond = 10;
// A frame is quiet below this RMS level (about -46 dBFS).
constexpr double QuietLevel = 0.005;
// "Quiet" is reported after this many quiet frames that follow sound.
constexpr int QuietFrames = 10;
// Dial tone is reported when it starts and then every this many frames.
constexpr int DialToneRepeatFrames = 10;

} // namespace

VoiceStream::VoiceStream(const Compression& compression, int sampleRate, int silenceTenths, double startTime)
    : m_encoder(compression.format), m_rate(sampleRate), m_silenceTenths(silenceTenths),
      m_next(static_cast<long long>(std::ceil(startTime * sampleRate))) {}

void VoiceStream::skipTo(double now) {
    m_next = std::max(m_next, static_cast<long long>(std::floor(now * m_rate)));
}

void VoiceStream::event(char code, std::string& out) {
    out += DLE;
    out += code;
    m_bytes += 2;
}

void VoiceStream::produce(double now, const Call* call, std::string& out) {
    const long long due = static_cast<long long>(std::floor(now * m_rate));
    const long long frameLength = std::max(1, m_rate / FramesPerSecond);
    std::string encoded;
    for (; m_next < due; ++m_next) {
        const double t = static_cast<double>(m_next) / m_rate;
        const double x = call ? call->sample(t) : 0.0;
        encoded.clear();
        m_encoder.encode(x, encoded);
        for (const char b : encoded) {
            out += b;
            if (b == DLE)
                out += DLE; // a data byte equal to DLE is sent twice
        }
        m_bytes += static_cast<long long>(encoded.size());
        for (const char b : encoded)
            m_bytes += b == DLE ? 1 : 0;
        m_frameEnergy += x * x;
        if (++m_frameSamples == frameLength) {
            frameEnd(call ? call->kind(t) : SignalKind::Silence, out);
            m_frameSamples = 0;
            m_frameEnergy = 0;
        }
    }
}

void VoiceStream::frameEnd(SignalKind kind, std::string& out) {
    const double rms = std::sqrt(m_frameEnergy / static_cast<double>(m_frameSamples));
    const bool quiet = rms < QuietLevel;

    if (kind == SignalKind::Busy) {
        if (!quiet && !m_busyOn)
            event('b', out);
        m_busyOn = !quiet;
    } else {
        m_busyOn = false;
    }
    if (kind == SignalKind::DialTone) {
        if (++m_dialFrames % DialToneRepeatFrames == 0)
            event('d', out);
    } else {
        m_dialFrames = -1;
    }

    if (!quiet) {
        m_quietFrames = 0;
        m_heardSound = true;
        m_quietReported = false;
        m_silenceReported = false;
        return;
    }
    ++m_quietFrames;
    if (m_heardSound && !m_quietReported && m_quietFrames >= QuietFrames) {
        m_quietReported = true;
        event('q', out);
    }
    if (m_silenceTenths > 0 && !m_silenceReported && m_quietFrames >= m_silenceTenths) {
        m_silenceReported = true;
        event('s', out);
    }
}

} // namespace modemsim
