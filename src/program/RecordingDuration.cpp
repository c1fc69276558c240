#include "program/RecordingDuration.h"

#include "audio/AudioErrors.h"
#include "audio/WavReader.h"
#include "library/Catalogue.h"

#include <QFile>
#include <QFileInfo>

namespace RecordingDuration {

bool update(Catalogue& catalogue, const QString& wavPath) {
    QFile file(wavPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    qint64 bytes = 0;
    qint64 bytesPerSecond = 0;
    try {
        WavReader reader(file);
        // The header may promise more than the file holds; the length is what is there.
        bytes = std::min(reader.itemSize(0), file.size() - reader.dataPosition());
        bytesPerSecond = reader.format().avgBytesPerSec();
    } catch (const AudioError&) {
        return false;
    }
    return catalogue.setCurrentDuration(QFileInfo(wavPath).completeBaseName(), bytes, bytesPerSecond);
}

} // namespace RecordingDuration
