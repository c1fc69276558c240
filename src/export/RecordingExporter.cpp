// Decode, encode into a part file, rename: the copy appears under its name only when it is whole.
#include "export/RecordingExporter.h"

#include "export/ExportError.h"
#include "export/RecordingDecoder.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <filesystem>
#include <vector>

namespace {

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

void RecordingExporter::encode(const QString& source, const QString& part, CopyFormat format,
                               const RecordingTags& tags) const {
    if (format == CopyFormat::Wav) {
        if (!QFileInfo(source).isFile())
            throw ExportError(QStringLiteral("Cannot read %1: the file is missing").arg(shown(source)));
        QFile file(source);
        if (!file.copy(part))
            throw ExportError(QStringLiteral("Cannot write %1: %2").arg(shown(part), file.errorString()));
        return;
    }
    RecordingDecoder decoder(source);
    std::unique_ptr<SoundEncoder> encoder = makeSoundEncoder(format, m_settings);
    encoder->open(part, decoder.sampleRate(), tags);
    for (std::vector<int16_t> block; decoder.next(block);)
        encoder->write(block);
    encoder->finish();
}

void RecordingExporter::exportRecording(const QString& source, const QString& target, CopyFormat format,
                                        const RecordingTags& tags) const {
    // Copying a file onto itself would first remove it.
    if (QFileInfo::exists(target) && QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return;
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    try {
        encode(source, part, format, tags);
    } catch (...) {
        QFile::remove(part);
        throw;
    }
    std::error_code error;
    std::filesystem::rename(fsPath(part), fsPath(target), error);
    if (error) {
        QFile::remove(part);
        throw ExportError(
            QStringLiteral("Cannot write %1: %2").arg(shown(target), QString::fromStdString(error.message())));
    }
}

QString RecordingExporter::tryExport(const QString& source, const QString& target, CopyFormat format,
                                     const RecordingTags& tags) const {
    try {
        exportRecording(source, target, format, tags);
        return {};
    } catch (const ExportError& error) {
        return error.text();
    } catch (const std::exception& error) {
        return QStringLiteral("Cannot write %1: %2").arg(shown(target), QString::fromUtf8(error.what()));
    }
}

QString RecordingExporter::exportWhileServingEvents(const QString& source, const QString& target, CopyFormat format,
                                                    const RecordingTags& tags) const {
    QString failure;
    std::unique_ptr<QThread> thread(QThread::create([&] { failure = tryExport(source, target, format, tags); }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    return failure;
}
