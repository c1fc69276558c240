// The formats convert's --to and settings' FileCompression= take: pcm, gsm, ima, msadpcm, ulaw, alaw.
#include "cli/FormatText.h"

#include "audio/drivers/G711Driver.h"
#include "audio/drivers/GsmDriver.h"
#include "audio/drivers/ImaAdpcmDriver.h"
#include "audio/drivers/MsAdpcmDriver.h"

#include <algorithm>

namespace FormatText {

std::optional<WaveFormat> parse(const QString& text, const WaveFormat& defaults, QString& error) {
    const WaveFormat& input = defaults;
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() > 4) {
        error = QStringLiteral("too many values in ") + text;
        return std::nullopt;
    }
    auto number = [&](int i, int fallback) -> int {
        if (i >= parts.size() || parts[i].isEmpty())
            return fallback;
        bool ok = false;
        const int v = parts[i].toInt(&ok);
        if (!ok || v <= 0)
            error = QStringLiteral("bad number '%1' in %2").arg(parts[i], text);
        return v;
    };
    const QString kind = parts[0].toLower();
    const int rate = number(1, static_cast<int>(input.samplesPerSec()));
    const int inputBits = input.bitsPerSample() == 8 || input.bitsPerSample() == 16 ? input.bitsPerSample() : 16;
    const int bits = number(2, kind == QLatin1String("pcm") && input.formatTag() == wavetag::Pcm  ? inputBits
                               : kind == QLatin1String("pcm")                                     ? 16
                               : kind == QLatin1String("gsm")                                     ? 0
                               : kind == QLatin1String("ima") || kind == QLatin1String("msadpcm") ? 4
                                                                                                  : 8);
    const int channels = number(3, kind == QLatin1String("gsm") ? 1 : std::clamp<int>(input.channels(), 1, 2));
    if (!error.isEmpty())
        return std::nullopt;
    if (rate < 1000 || rate > 192000 || channels < 1 || channels > 2) {
        error = QStringLiteral("unsupported rate or channel count in ") + text;
        return std::nullopt;
    }
    const auto r = static_cast<uint32_t>(rate);
    const auto ch = static_cast<uint16_t>(channels);
    auto needBits = [&](int wanted) {
        if (bits != wanted)
            error = QStringLiteral("%1 has %2 bits per sample").arg(kind).arg(wanted);
        return error.isEmpty();
    };
    if (kind == QLatin1String("pcm")) {
        if (bits != 8 && bits != 16) {
            error = QStringLiteral("pcm has 8 or 16 bits per sample");
            return std::nullopt;
        }
        return WaveFormat::pcm(r, static_cast<uint16_t>(bits), ch);
    }
    if (kind == QLatin1String("ulaw") || kind == QLatin1String("alaw")) {
        if (!needBits(8))
            return std::nullopt;
        return G711Driver::lawFormat(kind == QLatin1String("ulaw") ? wavetag::Mulaw : wavetag::Alaw, r, ch);
    }
    if (kind == QLatin1String("ima") || kind == QLatin1String("msadpcm")) {
        if (!needBits(4))
            return std::nullopt;
        return kind == QLatin1String("ima") ? ImaAdpcmDriver::imaFormat(r, ch) : MsAdpcmDriver::msAdpcmFormat(r, ch);
    }
    if (kind == QLatin1String("gsm")) {
        if (!needBits(0))
            return std::nullopt;
        if (ch != 1) {
            error = QStringLiteral("gsm is mono");
            return std::nullopt;
        }
        return GsmDriver::gsmFormat(r);
    }
    error = QStringLiteral("unknown format '%1' (pcm, ulaw, alaw, ima, msadpcm, gsm)").arg(parts[0]);
    return std::nullopt;
}

} // namespace FormatText
