// Format files (.cpn): the modem's and the file's compression as the recording opens its converter
// from them. The input is both files, 128 bytes each (a shorter second file fills only its first
// bytes); then the chain between them is opened and a second of line sound goes through it. A format
// saved and loaded again is the same 128 bytes.
#include "FuzzSupport.h"
#include "audio/AudioConverter.h"
#include "audio/AudioErrors.h"
#include "audio/WaveFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzApplication();
    const QByteArray bytes = fuzzBytes(data, size);
    const QString modemPath = fuzzPath(QStringLiteral("ModemCompression.cpn"));
    const QString filePath = fuzzPath(QStringLiteral("FileCompression.cpn"));
    fuzzWrite(modemPath, QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), WaveFormat::kBufferSize)));
    fuzzWrite(filePath, QByteArrayView(bytes).sliced(std::min<qsizetype>(bytes.size(), WaveFormat::kBufferSize)));

    WaveFormat modem;
    WaveFormat file;
    modem.loadFormatFile(modemPath);
    file.loadFormatFile(filePath);
    (void)modem.formatDescription();
    (void)file.formatDescription();

    const QString again = fuzzPath(QStringLiteral("again.cpn"));
    modem.saveFormatFile(again);
    WaveFormat reloaded = WaveFormat::fromBytes(QByteArray(WaveFormat::kBufferSize, '\x55'));
    reloaded.loadFormatFile(again);
    FUZZ_CHECK(reloaded == modem);

    AudioConverter converter;
    converter.setFormatIn(modem);
    converter.setFormatOut(file);
    qint64 produced = 0;
    QObject::connect(&converter, &AudioConverter::audioConverted,
                     [&produced](const QByteArray& block) { produced += block.size(); });
    try {
        converter.open();
        // A second of 8-bit line sound at the modem's rate, in the 2048-byte blocks of the recording.
        QByteArray sound(2048, '\0');
        for (int i = 0; i < sound.size(); ++i)
            sound[i] = static_cast<char>(bytes.isEmpty() ? i : bytes[i % bytes.size()] ^ i);
        for (int block = 0; block < 4; ++block)
            converter.convert(sound.constData(), sound.size());
        converter.flush();
        converter.close();
    } catch (const AudioError&) {
    }
    FUZZ_CHECK(produced >= 0);
    return 0;
}
