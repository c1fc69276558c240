// The G.711 driver's formats and its sample-by-sample streams.
#include "audio/drivers/G711Driver.h"

#include "audio/codecs/G711.h"
#include "audio/codecs/PcmSamples.h"
#include "audio/drivers/BlockCodecStream.h"
#include "audio/drivers/FormatRules.h"

namespace {

bool isLaw(const WaveFormat& f) {
    return (f.formatTag() == wavetag::Alaw || f.formatTag() == wavetag::Mulaw) &&
           (f.channels() == 1 || f.channels() == 2) && f.bitsPerSample() == 8 && f.blockAlign() == f.channels() &&
           formatrules::rateInRange(f);
}

class LawDecodeStream : public BlockCodecStream {
public:
    LawDecodeStream(bool ulaw, size_t channels) : BlockCodecStream(channels, channels * 2), m_ulaw(ulaw) {}

protected:
    void processBlocks(const uint8_t* source, uint8_t* destination, size_t blocks) override {
        const size_t samples = blocks * sourceBlockBytes();
        for (size_t i = 0; i < samples; ++i) {
            const int16_t v = m_ulaw ? g711::ulawToLinear(source[i]) : g711::alawToLinear(source[i]);
            destination[2 * i] = static_cast<uint8_t>(v & 0xFF);
            destination[2 * i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
        }
    }

private:
    bool m_ulaw;
};

class LawEncodeStream : public BlockCodecStream {
public:
    LawEncodeStream(bool ulaw, size_t channels) : BlockCodecStream(channels * 2, channels), m_ulaw(ulaw) {}

protected:
    void processBlocks(const uint8_t* source, uint8_t* destination, size_t blocks) override {
        const size_t samples = blocks * destinationBytes(sourceBlockBytes());
        for (size_t i = 0; i < samples; ++i) {
            const auto v = static_cast<int16_t>(source[2 * i] | (source[2 * i + 1] << 8));
            destination[i] = m_ulaw ? g711::linearToUlaw(v) : g711::linearToAlaw(v);
        }
    }

private:
    bool m_ulaw;
};

} // namespace

QString G711Driver::tagName(uint16_t tag) const {
    if (tag == wavetag::Alaw)
        return QStringLiteral("CCITT A-Law");
    if (tag == wavetag::Mulaw)
        return QStringLiteral("CCITT u-Law");
    return QString();
}

WaveFormat G711Driver::lawFormat(uint16_t tag, uint32_t rate, uint16_t channels) {
    WaveFormat f = WaveFormat::pcm(rate, 8, channels);
    f.setFormatTag(tag);
    return f;
}

QList<WaveFormat> G711Driver::formats() const {
    QList<WaveFormat> list;
    for (uint16_t tag : {wavetag::Alaw, wavetag::Mulaw})
        for (uint32_t rate : formatrules::kOfferedRates)
            for (uint16_t channels : {1, 2})
                list.append(lawFormat(tag, rate, channels));
    return list;
}

bool G711Driver::suggestPcm(const WaveFormat& source, WaveFormat& pcm) const {
    if (!isLaw(source))
        return false;
    formatrules::fillPcm16(pcm, source.samplesPerSec(), source.channels());
    return true;
}

bool G711Driver::canConvert(const WaveFormat& source, const WaveFormat& destination) const {
    return (isLaw(source) && formatrules::isPcm16Like(destination, source)) ||
           (isLaw(destination) && formatrules::isPcm16Like(source, destination));
}

std::unique_ptr<CodecStream> G711Driver::open(const WaveFormat& source, const WaveFormat& destination) const {
    if (isLaw(source))
        return std::make_unique<LawDecodeStream>(source.formatTag() == wavetag::Mulaw, source.channels());
    return std::make_unique<LawEncodeStream>(destination.formatTag() == wavetag::Mulaw, destination.channels());
}
