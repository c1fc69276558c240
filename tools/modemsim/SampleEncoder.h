// Turns line samples into the bytes of the voice compression selected with +VSM.
#pragma once

#include "modemsim/Personality.h"

#include <string>

namespace modemsim {

class SampleEncoder {
public:
    explicit SampleEncoder(SampleFormat format) : m_format(format) {}
    /// Appends the encoding of one sample in [-1, 1] (IMA ADPCM: a byte for every second sample, low nibble
    /// first).
    void encode(double sample, std::string& out);
    /// Bytes per second at a sample rate.
    double byteRate(int sampleRate) const;

    static unsigned char ulaw(int pcm16);
    static unsigned char alaw(int pcm16);

private:
    unsigned imaNibble(int pcm16);

    SampleFormat m_format;
    int m_imaPredictor = 0;
    int m_imaIndex = 0;
    int m_imaPending = -1;
};

} // namespace modemsim
