// The GSM 6.10 driver's formats and streams.
#include "audio/drivers/GsmDriver.h"

#include "audio/codecs/Gsm610.h"
#include "audio/drivers/BlockCodecStreams.h"
#include "audio/drivers/FormatRules.h"

QString GsmDriver::tagName(uint16_t tag) const {
    return tag == wavetag::Gsm610 ? QStringLiteral("GSM 6.10") : QString();
}

bool GsmDriver::isGsm(const WaveFormat& f) {
    const int stored = formatrules::extraWord(f, 0);
    return f.formatTag() == wavetag::Gsm610 && f.channels() == 1 && f.blockAlign() == gsm610::kBlockBytes &&
           formatrules::rateInRange(f) && (stored < 0 || stored == gsm610::kSamplesPerBlock);
}

WaveFormat GsmDriver::gsmFormat(uint32_t rate) {
    WaveFormat f = WaveFormat::fromBytes({});
    f.setFormatTag(wavetag::Gsm610);
    f.setChannels(1);
    f.setSamplesPerSec(rate);
    f.setAvgBytesPerSec(rate * gsm610::kBlockBytes / gsm610::kSamplesPerBlock);
    f.setBlockAlign(gsm610::kBlockBytes);
    f.setBitsPerSample(0);
    f.setExtraSize(2);
    f.extraBuffer()[0] = static_cast<uint8_t>(gsm610::kSamplesPerBlock & 0xFF);
    f.extraBuffer()[1] = static_cast<uint8_t>(gsm610::kSamplesPerBlock >> 8);
    return f;
}

QList<WaveFormat> GsmDriver::formats() const {
    QList<WaveFormat> list;
    for (uint32_t rate : formatrules::kOfferedRates)
        list.append(gsmFormat(rate));
    return list;
}

bool GsmDriver::suggestPcm(const WaveFormat& source, WaveFormat& pcm) const {
    if (!isGsm(source))
        return false;
    formatrules::fillPcm16(pcm, source.samplesPerSec(), 1);
    return true;
}

bool GsmDriver::canConvert(const WaveFormat& source, const WaveFormat& destination) const {
    return (isGsm(source) && formatrules::isPcm16Like(destination, source)) ||
           (isGsm(destination) && formatrules::isPcm16Like(source, destination));
}

std::unique_ptr<CodecStream> GsmDriver::open(const WaveFormat& source, const WaveFormat& destination) const {
    if (isGsm(source))
        return std::make_unique<BlockDecodeStream<GsmDecoder>>(std::make_unique<GsmDecoder>(), gsm610::kBlockBytes,
                                                               gsm610::kSamplesPerBlock, 1);
    (void)destination;
    return std::make_unique<BlockEncodeStream<GsmEncoder>>(std::make_unique<GsmEncoder>(), gsm610::kBlockBytes,
                                                           gsm610::kSamplesPerBlock, 1);
}
