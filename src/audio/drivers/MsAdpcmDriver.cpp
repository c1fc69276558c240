// The MS ADPCM driver's formats and streams.
#include "audio/drivers/MsAdpcmDriver.h"

#include "audio/drivers/BlockCodecStreams.h"
#include "audio/drivers/FormatRules.h"

namespace {
constexpr int kSamplesPerBlockOffset = 0;
constexpr int kCoefficientCountOffset = 2;
constexpr int kCoefficientsOffset = 4;
constexpr int kStandardExtraSize = kCoefficientsOffset + 4 * static_cast<int>(msadpcm::kStandardCoefficients.size());

bool hasStandardTable(const WaveFormat& f) {
    const auto table = MsAdpcmDriver::coefficients(f);
    if (table.size() < msadpcm::kStandardCoefficients.size())
        return table.empty();
    for (size_t i = 0; i < msadpcm::kStandardCoefficients.size(); ++i)
        if (table[i].first != msadpcm::kStandardCoefficients[i].first ||
            table[i].second != msadpcm::kStandardCoefficients[i].second)
            return false;
    return true;
}
} // namespace

QString MsAdpcmDriver::tagName(uint16_t tag) const {
    return tag == wavetag::MsAdpcm ? QStringLiteral("MS ADPCM") : QString();
}

std::vector<msadpcm::Coefficients> MsAdpcmDriver::coefficients(const WaveFormat& f) {
    std::vector<msadpcm::Coefficients> table;
    const int count = formatrules::extraWord(f, kCoefficientCountOffset);
    if (count <= 0 || kCoefficientsOffset + 4 * count > static_cast<int>(f.extraSize()))
        return table;
    for (int i = 0; i < count; ++i) {
        const int first = formatrules::extraWord(f, kCoefficientsOffset + 4 * i);
        const int second = formatrules::extraWord(f, kCoefficientsOffset + 4 * i + 2);
        table.push_back({static_cast<int16_t>(first), static_cast<int16_t>(second)});
    }
    return table;
}

bool MsAdpcmDriver::isMsAdpcm(const WaveFormat& f) {
    if (f.formatTag() != wavetag::MsAdpcm || f.bitsPerSample() != 4 || !formatrules::rateInRange(f))
        return false;
    const int samples = msadpcm::samplesPerBlock(f.blockAlign(), f.channels());
    const int stored = formatrules::extraWord(f, kSamplesPerBlockOffset);
    return samples > 0 && (stored < 0 || stored == samples);
}

WaveFormat MsAdpcmDriver::msAdpcmFormat(uint32_t rate, uint16_t channels) {
    WaveFormat f = WaveFormat::fromBytes({});
    const uint16_t align = formatrules::adpcmBlockAlign(rate, channels);
    const int samples = msadpcm::samplesPerBlock(align, channels);
    f.setFormatTag(wavetag::MsAdpcm);
    f.setChannels(channels);
    f.setSamplesPerSec(rate);
    f.setAvgBytesPerSec(static_cast<uint32_t>(static_cast<uint64_t>(rate) * align / samples));
    f.setBlockAlign(align);
    f.setBitsPerSample(4);
    f.setExtraSize(kStandardExtraSize);
    auto extra = f.extraBuffer();
    auto put = [&extra](int offset, int value) {
        extra[offset] = static_cast<uint8_t>(value & 0xFF);
        extra[offset + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
    };
    put(kSamplesPerBlockOffset, samples);
    put(kCoefficientCountOffset, static_cast<int>(msadpcm::kStandardCoefficients.size()));
    for (size_t i = 0; i < msadpcm::kStandardCoefficients.size(); ++i) {
        put(kCoefficientsOffset + 4 * static_cast<int>(i), msadpcm::kStandardCoefficients[i].first);
        put(kCoefficientsOffset + 4 * static_cast<int>(i) + 2, msadpcm::kStandardCoefficients[i].second);
    }
    return f;
}

QList<WaveFormat> MsAdpcmDriver::formats() const {
    QList<WaveFormat> list;
    for (uint32_t rate : formatrules::kOfferedRates)
        for (uint16_t channels : {1, 2})
            list.append(msAdpcmFormat(rate, channels));
    return list;
}

bool MsAdpcmDriver::suggestPcm(const WaveFormat& source, WaveFormat& pcm) const {
    if (!isMsAdpcm(source))
        return false;
    formatrules::fillPcm16(pcm, source.samplesPerSec(), source.channels());
    return true;
}

bool MsAdpcmDriver::canConvert(const WaveFormat& source, const WaveFormat& destination) const {
    return (isMsAdpcm(source) && formatrules::isPcm16Like(destination, source)) ||
           (isMsAdpcm(destination) && hasStandardTable(destination) && formatrules::isPcm16Like(source, destination));
}

std::unique_ptr<CodecStream> MsAdpcmDriver::open(const WaveFormat& source, const WaveFormat& destination) const {
    if (isMsAdpcm(source)) {
        const int samples = msadpcm::samplesPerBlock(source.blockAlign(), source.channels());
        return std::make_unique<BlockDecodeStream<MsAdpcmDecoder>>(
            std::make_unique<MsAdpcmDecoder>(source.channels(), source.blockAlign(), coefficients(source)),
            source.blockAlign(), samples, source.channels());
    }
    const int samples = msadpcm::samplesPerBlock(destination.blockAlign(), destination.channels());
    return std::make_unique<BlockEncodeStream<MsAdpcmEncoder>>(
        std::make_unique<MsAdpcmEncoder>(destination.channels(), destination.blockAlign()), destination.blockAlign(),
        samples, destination.channels());
}
