// The exporter behind RecordingOperations' copy writer.
#include "export/CompressedCopies.h"

#include "export/RecordingExporter.h"

RecordingOperations::CopyWriter compressedCopyWriter(const EncoderSettings& settings) {
    return [exporter = RecordingExporter(settings)](const QString& source, const QString& target, CopyFormat format,
                                                    const RecordingTags& tags) {
        return exporter.exportWhileServingEvents(source, target, format, tags);
    };
}
