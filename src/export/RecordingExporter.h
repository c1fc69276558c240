// Writes a copy of a stored recording in a chosen format, never leaving half a file under its name.
#pragma once

#include "export/SoundEncoder.h"
#include "library/CopyFormat.h"

#include <QString>

struct RecordingTags;

/// WAV is copied byte for byte; the other formats are decoded and encoded with the tags. The copy
/// is written to "<target>.part" and renamed onto `target` when complete, so a file under the final
/// name is either the one that was there or a whole copy; a failure removes the part file.
///
///     RecordingExporter exporter;
///     exporter.exportRecording(wavPath, folder + "/1_20261208_131453.opus", CopyFormat::Opus, tags);
class RecordingExporter {
public:
    explicit RecordingExporter(const EncoderSettings& settings = {}) : m_settings(settings) {}

    /// ExportError with a one-line reason when the source cannot be read or the copy not written.
    void exportRecording(const QString& source, const QString& target, CopyFormat format,
                         const RecordingTags& tags) const;
    /// The same returning the reason, or an empty text on success.
    QString tryExport(const QString& source, const QString& target, CopyFormat format, const RecordingTags& tags) const;
    /// tryExport on a thread of its own while the calling thread's event loop goes on (user input
    /// left out), so a long encoding does not hold up a running recording.
    QString exportWhileServingEvents(const QString& source, const QString& target, CopyFormat format,
                                     const RecordingTags& tags) const;

private:
    void encode(const QString& source, const QString& part, CopyFormat format, const RecordingTags& tags) const;

    EncoderSettings m_settings;
};
