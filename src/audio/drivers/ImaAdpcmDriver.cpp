// The IMA ADPCM driver's formats and streams.
#include "audio/drivers/ImaAdpcmDriver.h"

#include "audio/codecs/ImaAdpcm.h"
#include "audio/drivers/BlockCodecStreams.h"
#include "audio/drivers/FormatRules.h"

QString ImaAdpcmDriver::tagName(uint16_t tag) const {
    return tag == wavetag::ImaAdpcm ? QStringLiteral("IMA ADPCM") : QString();
}

bool ImaAdpcmDriver::isIma(const WaveFormat& f) {
    if (f.formatTag() != wavetag::ImaAdpcm || f.bitsPerSample() != 4 || !formatrules::rateInRange(f))
        return false;
    const int samples = ima::samplesPerBlock(f.blockAlign(), f.channels());
    const int stored = formatrules::extraWord(f, 0);
    return samples > 0 && (stored < 0 || stored == samples);
}

WaveFormat ImaAdpcmDriver::imaFormat(uint32_t rate, uint16_t channels) {
    WaveFormat f = WaveFormat::fromBytes({});
    const uint16_t align = formatrules::adpcmBlockAlign(rate, channels);
    const int samples = ima::samplesPerBlock(align, channels);
    f.setFormatTag(wavetag::ImaAdpcm);
    f.setChannels(channels);
    f.setSamplesPerSec(rate);
    f.setAvgBytesPerSec(static_cast<uint32_t>(static_cast<uint64_t>(rate) * align / samples));
    f.setBlockAlign(align);
    f.setBitsPerSample(4);
    f.setExtraSize(2);
    f.extraBuffer()[0] = static_cast<uint8_t>(samples & 0xFF);
    f.extraBuffer()[1] = static_cast<uint8_t>(samples >> 8);
    return f;
}

QList<WaveFormat> ImaAdpcmDriver::formats() const {
    QList<WaveFormat> list;
    for (uint32_t rate : formatrules::kOfferedRates)
        for (uint16_t channels : {1, 2})
            list.append(imaFormat(rate, channels));
    return list;
}

bool ImaAdpcmDriver::suggestPcm(const WaveFormat& source, WaveFormat& pcm) const {
    if (!isIma(source))
        return false;
    formatrules::fillPcm16(pcm, source.samplesPerSec(), source.channels());
    return true;
}

bool ImaAdpcmDriver::canConvert(const WaveFormat& source, const WaveFormat& destination) const {
    return (isIma(source) && formatrules::isPcm16Like(destination, source)) ||
           (isIma(destination) && formatrules::isPcm16Like(source, destination));
}

std::unique_ptr<CodecStream> ImaAdpcmDriver::open(const WaveFormat& source, const WaveFormat& destination) const {
    if (isIma(source)) {
        const int samples = ima::samplesPerBlock(source.blockAlign(), source.channels());
        return std::make_unique<BlockDecodeStream<ImaAdpcmDecoder>>(
            std::make_unique<ImaAdpcmDecoder>(source.channels(), source.blockAlign()), source.blockAlign(), samples,
            source.channels());
    }
    const int samples = ima::samplesPerBlock(destination.blockAlign(), destination.channels());
    return std::make_unique<BlockEncodeStream<ImaAdpcmEncoder>>(
        std::make_unique<ImaAdpcmEncoder>(destination.channels(), destination.blockAlign()), destination.blockAlign(),
        samples, destination.channels());
}
