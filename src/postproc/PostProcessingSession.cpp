// A recording opened for post-processing: decoded into a work file, changed there, saved back.
#include "postproc/PostProcessingSession.h"

#include "audio/AudioErrors.h"
#include "audio/WavReader.h"
#include "base/Prompter.h"
#include "postproc/VolumeLevel.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace {

// Whether `path` is a WAV file in `format` with as many data bytes as its size promises: the check
// that a re-encoded recording is whole before it replaces the old one.
bool isCompleteWav(const QString& path, const WaveFormat& format) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    try {
        WavReader reader(file);
        return reader.format().sameFormat(format) && reader.dataPosition() + reader.itemSize(0) <= file.size();
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

PostProcessingSession::PostProcessingSession(Prompter& prompter, QString workFilePath)
    : m_prompter(prompter), m_codec(prompter), m_workPath(std::move(workFilePath)) {}

PostProcessingSession::~PostProcessingSession() {
    close();
}

bool PostProcessingSession::open(const QString& recordingPath) {
    close();
    m_recording = recordingPath;
    m_work.setFileName(m_workPath);
    if (!m_work.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        m_prompter.message(FileOpenError(m_workPath).text(), Prompter::Icon::Error);
        return false;
    }
    bool decoded = false;
    try {
        decoded = m_codec.decodeToStream(recordingPath, m_work);
    } catch (const FileOpenError& error) {
        m_prompter.message(error.text(), Prompter::Icon::Error);
    }
    if (!decoded)
        m_work.close();
    return decoded;
}

QByteArray PostProcessingSession::samples() {
    if (!m_work.isOpen() || !m_work.seek(0))
        return {};
    return m_work.readAll();
}

void PostProcessingSession::changeSamples(const std::function<void(std::span<uint8_t>)>& change) {
    if (!m_work.isOpen())
        return;
    const qint64 size = m_work.size();
    if (size <= 0) {
        change({});
        return;
    }
    // Mapped, the passes run over the file in place without a copy of a long recording.
    if (uchar* mapped = m_work.map(0, size)) {
        change(std::span<uint8_t>(mapped, static_cast<size_t>(size)));
        m_work.unmap(mapped);
        return;
    }
    // A file system that cannot map the file: read, change, write back.
    QByteArray bytes = samples();
    change(std::span<uint8_t>(reinterpret_cast<uint8_t*>(bytes.data()), static_cast<size_t>(bytes.size())));
    if (!m_work.seek(0) || m_work.write(bytes) != bytes.size())
        throw StreamWriteError();
}

void PostProcessingSession::applyGain(int percent, const ProgressCallback& progress) {
    changeSamples([&](std::span<uint8_t> s) { VolumeLevel::apply(s, percent, progress); });
}

VoiceEqualizer::Result PostProcessingSession::equalize(const ProgressCallback& progress) {
    VoiceEqualizer::Result result;
    changeSamples([&](std::span<uint8_t> s) { result = VoiceEqualizer::equalize(s, progress); });
    return result;
}

bool PostProcessingSession::save(const QString& target) {
    if (!m_work.isOpen())
        return false;
    QFileInfo info(target.isEmpty() ? m_recording : target);
    // A link keeps pointing where it did: the file it names is the one replaced.
    if (info.isSymLink() && info.exists())
        info = QFileInfo(info.canonicalFilePath());
    // The new recording goes beside the old one, so the rename that replaces it stays on one disk.
    QTemporaryFile fresh(info.absoluteDir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".XXXXXX")));
    if (!fresh.open())
        throw FileOpenError(info.filePath());
    const QString freshPath = fresh.fileName();
    fresh.close();
    if (!m_codec.encodeToFile(freshPath, m_work) || !isCompleteWav(freshPath, m_codec.Converter.formatOut()))
        return false;
    QFile::setPermissions(freshPath, info.exists() ? info.permissions()
                                                   : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                                         QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
    // Replaces the old file in one step (on Windows as well), unlike QFile::rename.
    std::error_code error;
    std::filesystem::rename(QFileInfo(freshPath).filesystemAbsoluteFilePath(), info.filesystemAbsoluteFilePath(),
                            error);
    if (error)
        return false;
    fresh.setAutoRemove(false);
    return true;
}

void PostProcessingSession::close() {
    if (m_work.isOpen())
        m_work.close();
}
