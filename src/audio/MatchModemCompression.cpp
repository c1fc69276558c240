// The modem compression matcher: six rules tried on every enumerated codec format in turn.
#include "audio/MatchModemCompression.h"

#include "audio/CodecService.h"
#include "audio/WaveFormat.h"
#include "base/Prompter.h"

namespace {

const QString kUnsigned = QStringLiteral("UNSIGNED PCM");
const QString kSigned = QStringLiteral("SIGNED PCM");

/// Tag, bits, one channel and rate as the compression says.
bool sameShape(const WaveFormat& f, uint16_t tag, int bits, int rate) {
    return f.formatTag() == tag && f.bitsPerSample() == bits && f.channels() == 1 &&
           f.samplesPerSec() == static_cast<uint32_t>(rate);
}

} // namespace

bool matchModemCompression(const ModemCompressionFields& compression, Prompter& prompter, const QString& fileName) {
    WaveFormat scratch;
    bool copyFromFormat = true;
    bool found = false;
    WaveFormat taken;
    const QString& name = compression.description;
    const int bits = compression.bitsPerSample.trimmed().toInt();
    const int rate = compression.sampleRate.trimmed().toInt();

    for (const CodecListEntry& codec : CodecService::codecList()) {
        for (const CodecFormatEntry& entry : codec.formats) {
            const WaveFormat f = WaveFormat::fromBytes(entry.format);
            // Rules 1 and 2 (PCM, unsigned or signed), 3 and 4 (the fixed 7200 Hz 16-bit format),
            // 5 (u-law) and 6 (A-law), in this order: one branch per rule, even where two do the same.
            // NOLINTNEXTLINE(bugprone-branch-clone)
            if (sameShape(f, wavetag::Pcm, bits, rate) && (name == kUnsigned || name == kSigned)) {
                taken = f;
                found = true;
            } else if (bits == 16 && rate == 7200 && (name == kUnsigned || name == kSigned)) {
                scratch = WaveFormat::pcm(7200, 16, 1);
                copyFromFormat = false;
                found = true;
            } else if (sameShape(f, wavetag::Mulaw, bits, rate) && name == QLatin1String("ULAW")) {
                taken = f;
                found = true;
            } else if (sameShape(f, wavetag::Alaw, bits, rate) && name == QLatin1String("ALAW")) {
                taken = f;
                found = true;
            }
            if (found)
                break;
        }
        if (found)
            break;
    }

    if (found && copyFromFormat) {
        // Field by field: the extra bytes themselves stay as the scratch descriptor holds them.
        scratch.setAvgBytesPerSec(taken.avgBytesPerSec());
        scratch.setBitsPerSample(taken.bitsPerSample());
        scratch.setBlockAlign(taken.blockAlign());
        scratch.setChannels(taken.channels());
        scratch.setExtraSize(taken.extraSize());
        scratch.setFormatTag(taken.formatTag());
        scratch.setSamplesPerSec(taken.samplesPerSec());
    }
    if (found) {
        scratch.saveFormatFile(fileName);
        return true;
    }
    prompter.message(QStringLiteral("None Codec Format found to match modem compression\r"
                                    "Choose a different modem compression"),
                     Prompter::Icon::Warning);
    return false;
}
