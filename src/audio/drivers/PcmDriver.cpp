// The PCM driver's formats and conversions.
#include "audio/drivers/PcmDriver.h"

#include "audio/drivers/FormatRules.h"
#include "audio/drivers/PcmStream.h"

QString PcmDriver::tagName(uint16_t tag) const {
    return tag == wavetag::Pcm ? QStringLiteral("PCM") : QString();
}

QList<TdeWaveFormat> PcmDriver::formats() const {
    QList<TdeWaveFormat> list;
    for (uint32_t rate : formatrules::kOfferedRates)
        for (uint16_t bits : {8, 16})
            for (uint16_t channels : {1, 2})
                list.append(TdeWaveFormat::pcm(rate, bits, channels));
    return list;
}

bool PcmDriver::suggestPcm(const TdeWaveFormat& source, TdeWaveFormat& pcm) const {
    if (!formatrules::isPcm(source))
        return false;
    for (int i = 0; i < TdeWaveFormat::kHeaderSize; ++i)
        pcm.raw()[i] = source.raw()[i];
    pcm.setExtraSize(0);
    return true;
}

bool PcmDriver::canConvert(const TdeWaveFormat& source, const TdeWaveFormat& destination) const {
    return formatrules::isPcm(source) && formatrules::isPcm(destination);
}

std::unique_ptr<CodecStream> PcmDriver::open(const TdeWaveFormat& source, const TdeWaveFormat& destination) const {
    return std::make_unique<PcmStream>(source, destination);
}
