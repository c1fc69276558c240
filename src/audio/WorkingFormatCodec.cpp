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
    for (AudioConverter* converter : {&pcmConverter1, &pcmConverter2})
        converter->SetFormatOut(WaveFormat::workingFormat());
    Converter.SetFormatIn(WaveFormat::workingFormat());
}

bool WorkingFormatCodec::DecodeToMemory(const QString& fileName, QIODevice& memory) {
    return decode(pcmConverter1, fileName, memory);
}

bool WorkingFormatCodec::DecodeToStream(const QString& fileName, QIODevice& stream) {
    return decode(pcmConverter2, fileName, stream);
}

bool WorkingFormatCodec::decode(AudioConverter& converter, const QString& fileName, QIODevice& target) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(fileName);
    // Exceptions never cross the signal: the handler notes a failed write and the loop raises it.
    bool writeFailed = false;
    const QMetaObject::Connection connection =
        connect(&converter, &AudioConverter::OnAudioConverted, this,
                [&](const QByteArray& data) { writeFailed = writeFailed || target.write(data) != data.size(); });
    bool ok = true;
    try {
        WavReader reader(file);
        converter.SetFormatIn(reader.Format());
        converter.Open();
        // Blocks of a whole number of codec blocks keep every stage's buffer small and steady.
        const qint64 align = std::max<qint64>(1, reader.Format().blockAlign());
        const qint64 block = std::max<qint64>(align, kDecodeBlockBytes / align * align);
        std::vector<char> buffer(static_cast<size_t>(block));
        reader.SeekItem(0);
        for (qint64 got; (got = reader.ReadNext(buffer.data(), block)) > 0;) {
            converter.Convert(buffer.data(), got);
            if (writeFailed)
                throw EWriteError();
        }
        converter.Close();
    } catch (const std::exception&) {
        ok = false;
        try {
            if (converter.Active())
                converter.Close();
        } catch (...) {
        }
        m_prompter.message(QStringLiteral("Error was created during pcm conversion"), Prompter::Icon::Error);
    }
    disconnect(connection);
    return ok;
}

bool WorkingFormatCodec::EncodeToFile(const QString& fileName, QIODevice& stream) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EFOpenError(fileName);
    auto writer = std::make_unique<WavWriter>(file);
    bool writeFailed = false;
    const QMetaObject::Connection connection =
        connect(&Converter, &AudioConverter::OnAudioConverted, this, [&](const QByteArray& data) {
            try {
                writer->Write(data.constData(), data.size());
            } catch (const EWriteError&) {
                writeFailed = true;
            }
        });
    bool ok = true;
    try {
        Converter.SetFormatIn(pcmConverter2.FormatOut());
        Converter.SetFormatOut(pcmConverter2.FormatIn());
        writer->SetFormat(Converter.FormatOut());
        Converter.Open();
        stream.seek(0);
        const qint64 size = stream.size();
        std::vector<char> buffer(kEncodeBlockBytes);
        for (qint64 done = 0; done < size;) {
            const qint64 want = std::min(kEncodeBlockBytes, size - done);
            const qint64 got = stream.read(buffer.data(), want);
            if (got != want)
                throw EWriteError();
            Converter.Convert(buffer.data(), got);
            if (writeFailed)
                throw EWriteError();
            done += got;
        }
        Converter.Close();
        writer->Finish();
    } catch (const std::exception&) {
        ok = false;
        try {
            if (Converter.Active())
                Converter.Close();
        } catch (...) {
        }
    }
    disconnect(connection);
    writer.reset();
    file.close();
    return ok;
}
