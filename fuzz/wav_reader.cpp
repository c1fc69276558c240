// WAV files as the player and the post-processing read them: the RIFF reader on any bytes, then the
// whole data chunk decoded into the working format through every stage the file's format needs.
// Nothing crashes, a read never goes past the data chunk, and the output stays proportionate.
#include "FuzzSupport.h"
#include "audio/AudioErrors.h"
#include "audio/WavReader.h"
#include "audio/WorkingFormatCodec.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzApplication();
    const QByteArray bytes = fuzzBytes(data, size);
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    try {
        WavReader reader(file);
        const qint64 promised = reader.itemSize(0);
        FUZZ_CHECK(promised >= 0 && reader.dataPosition() >= 12 && reader.dataPosition() <= bytes.size());
        char buffer[512];
        const qint64 got = reader.readItem(0, buffer, sizeof buffer);
        FUZZ_CHECK(got >= 0 && got <= std::min<qint64>(sizeof buffer, promised));
        (void)reader.format().formatDescription();
    } catch (const AudioError&) {
        return 0;
    }

    static QuietPrompter prompter;
    static WorkingFormatCodec codec(prompter);
    const QString path = fuzzPath(QStringLiteral("in.wav"));
    fuzzWrite(path, bytes);
    QBuffer memory;
    memory.open(QIODevice::WriteOnly);
    codec.decodeToMemory(path, memory);
    FUZZ_CHECK(memory.size() <= 64 * qint64(size) + (1 << 20));
    return 0;
}
