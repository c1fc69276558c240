// Decoding WAV files to the working format and encoding working-format audio back into a file.
#include "audio/WorkingFormatCodec.h"

#include "audio/AudioErrors.h"
#include "audio/WavReader.h"
#include "audio/WavWriter.h"
#include "base/Prompter.h"

#include <QFile>
#include <memory>
#include <vector>

WorkingFormatCodec::WorkingFormatCodec(Prompter& prompter, QObject* parent) : QObject(parent), m_prompter(prompter) {
    for (AudioConverter* converter : {&m_decodeConverter, &m_encodeConverter})
        converter->setFormatOut(WaveFormat::workingFormat());
    Converter.setFormatIn(WaveFormat::workingFormat());
}

bool WorkingFormatCodec::decodeToMemory(const QString& fileName, QIODevice& memory) {
    return decode(m_decodeConverter, fileName, memory);
}

bool WorkingFormatCodec::decodeToStream(const QString& fileName, QIODevice& stream) {
    return decode(m_encodeConverter, fileName, stream);
}

bool WorkingFormatCodec::decode(AudioConverter& converter, const QString& fileName, QIODevice& target) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw FileOpenError(fileName);
    // Exceptions never cross the signal: the handler notes a failed write and the loop raises it.
    bool writeFailed = false;
    const QMetaObject::Connection connection =
        connect(&converter, &AudioConverter::audioConverted, this,
                [&](const QByteArray& data) { writeFailed = writeFailed || target.write(data) != data.size(); });
    bool ok = true;
    try {
        WavReader reader(file);
        converter.setFormatIn(reader.format());
        converter.open();
        // Blocks of a whole number of codec blocks keep every stage's buffer small and steady.
        const qint64 align = std::max<qint64>(1, reader.format().blockAlign());
        const qint64 block = std::max<qint64>(align, kDecodeBlockBytes / align * align);
        std::vector<char> buffer(static_cast<size_t>(block));
        reader.seekItem(0);
        for (qint64 got; (got = reader.readNext(buffer.data(), block)) > 0;) {
            converter.convert(buffer.data(), got);
            if (writeFailed)
                throw StreamWriteError();
        }
        converter.close();
    } catch (const std::exception&) {
        ok = false;
        try {
            if (converter.active())
                converter.close();
        } catch (...) {
        }
        m_prompter.message(QStringLiteral("Error was created during pcm conversion"), Prompter::Icon::Error);
    }
    disconnect(connection);
    return ok;
}

bool WorkingFormatCodec::encodeToFile(const QString& fileName, QIODevice& stream) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileOpenError(fileName);
    auto writer = std::make_unique<WavWriter>(file);
    bool writeFailed = false;
    const QMetaObject::Connection connection =
        connect(&Converter, &AudioConverter::audioConverted, this, [&](const QByteArray& data) {
            try {
                writer->write(data.constData(), data.size());
            } catch (const StreamWriteError&) {
                writeFailed = true;
            }
        });
    bool ok = true;
    try {
        Converter.setFormatIn(m_encodeConverter.formatOut());
        Converter.setFormatOut(m_encodeConverter.formatIn());
        writer->setFormat(Converter.formatOut());
        Converter.open();
        stream.seek(0);
        const qint64 size = stream.size();
        std::vector<char> buffer(kEncodeBlockBytes);
        for (qint64 done = 0; done < size;) {
            const qint64 want = std::min(kEncodeBlockBytes, size - done);
            const qint64 got = stream.read(buffer.data(), want);
            if (got != want)
                throw StreamWriteError();
            Converter.convert(buffer.data(), got);
            if (writeFailed)
                throw StreamWriteError();
            done += got;
        }
        Converter.close();
        writer->finish();
    } catch (const std::exception&) {
        ok = false;
        try {
            if (Converter.active())
                Converter.close();
        } catch (...) {
        }
    }
    disconnect(connection);
    writer.reset();
    file.close();
    return ok;
}
