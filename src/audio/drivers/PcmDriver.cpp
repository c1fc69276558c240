// The PCM driver's formats and conversions.
#include "audio/drivers/PcmDriver.h"

#include "audio/drivers/FormatRules.h"
#include "audio/drivers/PcmStream.h"

QString PcmDriver::tagName(uint16_t tag) const {
    return tag == wavetag::Pcm ? QStringLiteral("PCM") : QString();
}

QList<WaveFormat> PcmDriver::formats() const {
    QList<WaveFormat> list;
    for (uint32_t rate : formatrules::kOfferedRates)
        for (uint16_t bits : {8, 16})
            for (uint16_t channels : {1, 2})
                list.append(WaveFormat::pcm(rate, bits, channels));
    return list;
}

bool PcmDriver::suggestPcm(const WaveFormat& source, WaveFormat& pcm) const {
    if (!formatrules::isPcm(source))
        return false;
    for (int i = 0; i < WaveFormat::kHeaderSize; ++i)
        pcm.raw()[i] = source.raw()[i];
    pcm.setExtraSize(0);
    return true;
}

bool PcmDriver::canConvert(const WaveFormat& source, const WaveFormat& destination) const {
    return formatrules::isPcm(source) && formatrules::isPcm(destination);
}

std::unique_ptr<CodecStream> PcmDriver::open(const WaveFormat& source, const WaveFormat& destination) const {
    return std::make_unique<PcmStream>(source, destination);
}
