// A recording opened for post-processing: decoded into a work file, changed there, saved back.
#pragma once

#include "audio/WorkingFormatCodec.h"
#include "postproc/Progress.h"
#include "postproc/VoiceEqualizer.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <span>

class Prompter;

/// What both post-processing windows and their orlamo-cli commands work on:
///
///     PostProcessingSession session(prompter, "temp.wav");
///     if (!session.open("wav/1_20240101_120000.wav"))   // the message was shown
///         return;
///     session.applyGain(20);                             // or session.equalize()
///     session.save();                                    // in the recording's own format
///
/// The work file holds the recording in the working format (PCM 8 kHz 8-bit mono) without a header
/// and stays open until close(); it is left on disk (the program deletes it at exit).
class PostProcessingSession {
public:
    PostProcessingSession(Prompter& prompter, QString workFilePath);
    ~PostProcessingSession();
    PostProcessingSession(const PostProcessingSession&) = delete;
    PostProcessingSession& operator=(const PostProcessingSession&) = delete;

    /// Creates (or empties) the work file and decodes the recording into it. False when that failed:
    /// the message was shown (the decoder's, or that the file cannot be opened) and the work file is
    /// closed.
    bool open(const QString& recordingPath);
    bool isOpen() const { return m_work.isOpen(); }
    /// The recording's file name as it was given to open().
    const QString& recordingPath() const { return m_recording; }
    const QString& workFilePath() const { return m_workPath; }
    /// Samples in the work file.
    qint64 size() const { return m_work.size(); }
    /// A copy of the work file's samples, for the preview and the trace.
    QByteArray samples();

    /// Applies a gain of `percent` (-50 to 100) to the work file.
    void applyGain(int percent, const ProgressCallback& progress = {});
    /// Equalizes the voice passages of the work file; without a voice frame nothing changes.
    VoiceEqualizer::Result equalize(const ProgressCallback& progress = {});

    /// Encodes the work file in the recording's own format into a new file beside `target` (the
    /// recording itself when empty) and puts it in the target's place only when it is complete, so a
    /// failure half-way leaves the target as it was. Raises FileOpenError when the new file cannot be
    /// created; false when the encoding or the replacement failed.
    bool save(const QString& target = QString());

    /// Closes the work file; it stays on disk.
    void close();

private:
    void changeSamples(const std::function<void(std::span<uint8_t>)>& change);

    Prompter& m_prompter;
    WorkingFormatCodec m_codec;
    QString m_workPath;
    QFile m_work;
    QString m_recording;
};
