// A converter stage: buffers input until the codec has whole blocks, sized once on the first output.
#include "audio/ConverterStage.h"

#include "audio/AudioErrors.h"

#include <algorithm>
#include <cfenv>
#include <cstring>

namespace {

/// Masks floating-point exceptions around a codec call and restores the previous environment after it.
class FpuGuard {
public:
    explicit FpuGuard(bool active) : m_active(active) {
        if (m_active)
            feholdexcept(&m_saved);
    }
    ~FpuGuard() {
        if (m_active)
            fesetenv(&m_saved);
    }
    FpuGuard(const FpuGuard&) = delete;
    FpuGuard& operator=(const FpuGuard&) = delete;

private:
    bool m_active;
    fenv_t m_saved{};
};

const QString kWhileActive = QStringLiteral("Cannot perform this action while active.");
const QString kWhileNotActive = QStringLiteral("Cannot perform this action while not active.");

} // namespace

ConverterStage::ConverterStage(const WaveFormat& formatIn, const WaveFormat& formatOut, bool requestRealTime,
                               bool maskFpuExceptions)
    : m_formatIn(formatIn), m_formatOut(formatOut), m_requestRealTime(requestRealTime),
      m_maskFpuExceptions(maskFpuExceptions) {}

ConverterStage::~ConverterStage() {
    close();
}

void ConverterStage::open() {
    if (isOpen())
        throw AudioError(kWhileActive);
    acmCheck<AudioConversionError>(CodecService::streamOpen(&m_stream, m_formatIn, m_formatOut, !m_requestRealTime));
}

void ConverterStage::close() {
    if (!isOpen())
        return;
    if (m_header.prepared)
        CodecService::streamUnprepareHeader(m_stream.get(), m_header);
    CodecService::streamReset(m_stream.get());
    CodecService::streamClose(m_stream);
    m_header = AcmStreamHeader();
    std::vector<uint8_t>().swap(m_input);
    std::vector<uint8_t>().swap(m_output);
    m_fill = 0;
}

size_t ConverterStage::convert(const uint8_t* data, size_t count) {
    if (!isOpen())
        throw AudioConversionError(kWhileNotActive);
    if (m_fill + count > m_input.size()) {
        if (m_header.prepared)
            throw AudioConversionError(QStringLiteral("Audio is too large to fit into conversion buffer"));
        m_input.resize(2 * (m_fill + count));
    }
    if (count > 0)
        std::memcpy(m_input.data() + m_fill, data, count);
    m_fill += count;
    return convertHeld();
}

size_t ConverterStage::convertHeld() {
    size_t size = 0;
    if (!m_header.prepared) {
        if (CodecService::streamSize(m_stream.get(), m_fill, &size) != AcmResult::NoError || size == 0)
            return 0;
        m_input.resize(3 * m_fill);
        if (CodecService::streamSize(m_stream.get(), m_input.size(), &size) != AcmResult::NoError)
            return 0;
        m_output.resize(size);
        m_header.source = m_input.data();
        m_header.sourceCapacity = m_input.size();
        m_header.destination = m_output.data();
        m_header.destinationCapacity = m_output.size();
        const int prepared = CodecService::streamPrepareHeader(m_stream.get(), m_header);
        if (prepared != AcmResult::NoError) {
            std::vector<uint8_t>().swap(m_output);
            acmCheck<AudioConversionError>(prepared);
        }
    }
    if (CodecService::streamSize(m_stream.get(), m_fill, &size) != AcmResult::NoError || size == 0)
        return 0;
    m_header.sourceLength = m_fill;
    int result;
    {
        FpuGuard guard(m_maskFpuExceptions);
        result = CodecService::streamConvert(m_stream.get(), m_header, true);
    }
    acmCheck<AudioConversionError>(result);
    const size_t rest = m_fill - m_header.sourceUsed;
    if (rest > 0)
        std::memmove(m_input.data(), m_input.data() + m_header.sourceUsed, rest);
    m_fill = rest;
    return m_header.destinationLength;
}

size_t ConverterStage::flushPadded() {
    if (!isOpen() || m_fill == 0 || m_formatIn.formatTag() != wavetag::Pcm || !m_stream)
        return 0;
    const size_t block = m_stream->sourceBlockBytes();
    const size_t pad = (block - m_fill % block) % block;
    if (pad == 0)
        return convertHeld();
    // Silence: the mid level 128 for 8-bit samples, zero for 16-bit.
    const std::vector<uint8_t> silence(pad, m_formatIn.bitsPerSample() == 8 ? uint8_t{128} : uint8_t{0});
    if (m_header.prepared && m_fill + pad > m_input.size())
        return 0;
    return convert(silence.data(), silence.size());
}
