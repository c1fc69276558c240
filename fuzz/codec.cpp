// One codec of the codec service (chosen when built: FUZZ_CODEC_PCM, _G711, _IMA_ADPCM, _MS_ADPCM,
// _GSM). The first bytes choose a format the codec offers, with what a file may vary (block size,
// predictor table); the rest is decoded as that format, and also encoded from 16-bit PCM and decoded
// back. Decoding gives exactly the samples of the whole blocks it was given; a round trip keeps the
// length, completed to a whole block.
#include "FuzzSupport.h"
#include "audio/AudioConverter.h"
#include "audio/AudioErrors.h"
#include "audio/CodecService.h"
#include "audio/codecs/ImaAdpcm.h"
#include "audio/codecs/MsAdpcm.h"
#include "audio/drivers/FormatRules.h"

namespace {

#if defined(FUZZ_CODEC_PCM)
const uint16_t kTag = wavetag::Pcm;
#elif defined(FUZZ_CODEC_G711)
const uint16_t kTag = wavetag::Mulaw; // and A-law, chosen by the format byte
#elif defined(FUZZ_CODEC_IMA_ADPCM)
const uint16_t kTag = wavetag::ImaAdpcm;
#elif defined(FUZZ_CODEC_MS_ADPCM)
const uint16_t kTag = wavetag::MsAdpcm;
#elif defined(FUZZ_CODEC_GSM)
const uint16_t kTag = wavetag::Gsm610;
#endif

QList<WaveFormat> offered() {
    QList<WaveFormat> list;
    for (const CodecListEntry& codec : CodecService::codecList())
        for (const CodecFormatEntry& entry : codec.formats) {
            const WaveFormat f = WaveFormat::fromBytes(entry.format);
            const bool taken = f.formatTag() == kTag || (kTag == wavetag::Mulaw && f.formatTag() == wavetag::Alaw);
            // PCM: the 8-bit formats, whose 16-bit counterpart is the other side of the codec.
            if (taken && (kTag != wavetag::Pcm || f.bitsPerSample() == 8))
                list.append(f);
        }
    return list;
}

uint8_t take(QByteArrayView& bytes) {
    if (bytes.isEmpty())
        return 0;
    const auto b = static_cast<uint8_t>(bytes.front());
    bytes = bytes.sliced(1);
    return b;
}

/// A format of the codec, varied in what files vary; `encodable` is the same without the file's own
/// predictor table (the encoder writes the standard one).
WaveFormat chooseFormat(QByteArrayView& bytes, WaveFormat& encodable) {
    static const QList<WaveFormat> formats = offered();
    WaveFormat f = formats.at(take(bytes) % formats.size());
    const uint8_t variant = take(bytes);
#if defined(FUZZ_CODEC_IMA_ADPCM)
    // Any block size the layout allows: a header and whole groups of 4 bytes per channel.
    const int groups = 1 + variant;
    f.setBlockAlign(static_cast<uint16_t>(f.channels() * (ima::kHeaderBytesPerChannel + 4 * groups)));
    f.extraBuffer()[0] = static_cast<uint8_t>(ima::samplesPerBlock(f.blockAlign(), f.channels()) & 0xFF);
    f.extraBuffer()[1] = static_cast<uint8_t>(ima::samplesPerBlock(f.blockAlign(), f.channels()) >> 8);
#elif defined(FUZZ_CODEC_MS_ADPCM)
    // Any block size, and the predictor table the file carries, whatever its values.
    f.setBlockAlign(static_cast<uint16_t>(f.channels() * msadpcm::kHeaderBytesPerChannel + 1 + variant * 4));
    const int samples = msadpcm::samplesPerBlock(f.blockAlign(), f.channels());
    auto extra = f.extraBuffer();
    extra[0] = static_cast<uint8_t>(samples & 0xFF);
    extra[1] = static_cast<uint8_t>(samples >> 8);
    encodable = f;
    if (take(bytes) & 1)
        for (int i = 4; i < 4 + 28 && !bytes.isEmpty(); ++i)
            extra[size_t(i)] = take(bytes);
    return f;
#else
    (void)variant;
#endif
    encodable = f;
    return f;
}

WaveFormat pcm16Like(const WaveFormat& f) {
    WaveFormat pcm = WaveFormat::pcm(f.samplesPerSec(), 16, f.channels());
    return pcm;
}

/// Converts all of `input` from `from` to `to` in pieces of `piece` bytes; the bytes produced.
QByteArray convert(const WaveFormat& from, const WaveFormat& to, QByteArrayView input, qsizetype piece, bool flush) {
    AudioConverter converter;
    converter.setFormatIn(from);
    converter.setFormatOut(to);
    QByteArray out;
    QObject::connect(&converter, &AudioConverter::audioConverted, [&out](const QByteArray& block) { out += block; });
    converter.open();
    for (qsizetype at = 0; at < input.size(); at += piece)
        converter.convert(input.data() + at, std::min(piece, input.size() - at));
    if (flush)
        converter.flush();
    converter.close();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzApplication();
    QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    WaveFormat encodable;
    const WaveFormat format = chooseFormat(bytes, encodable);
    const qsizetype piece = 1 + take(bytes) * 7;
    const WaveFormat pcm = pcm16Like(format);
    const qsizetype block = std::max<qsizetype>(1, format.blockAlign());
    size_t perBlock = 0;
    {
        std::unique_ptr<CodecStream> stream;
        FUZZ_CHECK(CodecService::streamOpen(&stream, format, pcm, true) == 0);
        FUZZ_CHECK(CodecService::streamSize(stream.get(), size_t(block), &perBlock) == 0 && perBlock > 0);
    }
    try {
        const QByteArray decoded = convert(format, pcm, bytes, piece, false);
        FUZZ_CHECK(decoded.size() == bytes.size() / block * qsizetype(perBlock));

        // The round trip: the bytes as 16-bit PCM, encoded and decoded back.
        const qsizetype frame = 2 * format.channels();
        const QByteArrayView samples = bytes.first(bytes.size() / frame * frame);
        const QByteArray encoded = convert(pcm, encodable, samples, piece, true);
        FUZZ_CHECK(encoded.size() % block == 0);
        const QByteArray back = convert(encodable, pcm, encoded, piece, false);
        const qsizetype blocks = (samples.size() + qsizetype(perBlock) - 1) / qsizetype(perBlock);
        FUZZ_CHECK(back.size() == blocks * qsizetype(perBlock));
#if defined(FUZZ_CODEC_PCM)
        // The resampler (costly to set up, so for one input in four), to a rate the input's length
        // chooses: whole frames, about the right count.
        const uint32_t rates[] = {8000, 11025, 22050, 44100, 7200, 16000};
        const WaveFormat other = WaveFormat::pcm(rates[size % 6], 16, format.channels());
        if (size % 4 == 0) {
            const QByteArray resampled = convert(format, other, bytes, piece, true);
            FUZZ_CHECK(resampled.size() % frame == 0);
            FUZZ_CHECK(resampled.size() <= 8 * (bytes.size() + 4096));
        }
#endif
    } catch (const AudioError& e) {
        fuzzFail(e.what(), __FILE__, __LINE__);
    }
    return 0;
}
