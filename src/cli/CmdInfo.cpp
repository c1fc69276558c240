// orlamo-cli info FILE.wav: the format, duration and data size of a WAV file.
#include "audio/AudioErrors.h"
#include "audio/WavReader.h"
#include "cli/CliContext.h"

#include <QFile>

int cmdInfo(CliContext& context) {
    if (context.args.size() != 1) {
        context.err << "usage: orlamo-cli info FILE.wav\n";
        return 2;
    }
    const QString path = context.userPath(context.args[0]);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        context.err << "orlamo-cli: Cannot open file " << path << '\n';
        return 1;
    }
    try {
        WavReader reader(file);
        const WaveFormat& f = reader.format();
        const qint64 declared = reader.itemSize(0);
        const qint64 present = std::max<qint64>(0, std::min(declared, file.size() - reader.dataPosition()));
        QString description = f.formatDescription();
        if (description.isEmpty())
            description = QStringLiteral("unknown format");
        context.out << "format: " << description << '\n';
        context.out << "tag: " << f.formatTag() << ", channels: " << f.channels() << ", rate: " << f.samplesPerSec()
                    << " Hz, bits: " << f.bitsPerSample() << ", block: " << f.blockAlign() << " bytes, "
                    << f.avgBytesPerSec() << " bytes/s\n";
        context.out << "data: " << present << " bytes";
        if (present != declared)
            context.out << " (the header says " << declared << ')';
        context.out << '\n';
        if (f.avgBytesPerSec() > 0)
            context.out << "duration: " << QString::number(static_cast<double>(present) / f.avgBytesPerSec(), 'f', 3)
                        << " s\n";
        return 0;
    } catch (const AudioError& e) {
        context.err << "orlamo-cli: " << path << ": " << e.text() << '\n';
        return 1;
    }
}
