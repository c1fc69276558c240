// orlamo-cli convert IN.wav OUT.wav --to FORMAT[:RATE[:BITS[:CHANNELS]]]: converts a WAV file in blocks.
#include "audio/AudioErrors.h"
#include "audio/WavFileConverter.h"
#include "audio/WavReader.h"
#include "cli/CliContext.h"
#include "cli/FormatText.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

int cmdConvert(CliContext& context) {
    QStringList args = context.args;
    QString to;
    const qsizetype toIndex = args.indexOf(QStringLiteral("--to"));
    if (toIndex >= 0 && toIndex + 1 < args.size()) {
        to = args[toIndex + 1];
        args.remove(toIndex, 2);
    }
    if (args.size() == 2) {
        args[0] = context.userPath(args[0]);
        args[1] = context.userPath(args[1]);
    }
    if (args.size() != 2 || to.isEmpty()) {
        context.err << "usage: orlamo-cli convert IN.wav OUT.wav --to FORMAT[:RATE[:BITS[:CHANNELS]]]\n";
        return 2;
    }
    if (QFileInfo::exists(args[1]) &&
        QFileInfo(args[0]).canonicalFilePath() == QFileInfo(args[1]).canonicalFilePath()) {
        context.err << "orlamo-cli: the output must not be the input file\n";
        return 2;
    }
    QFile in(args[0]);
    if (!in.open(QIODevice::ReadOnly)) {
        context.err << "orlamo-cli: Cannot open file " << args[0] << '\n';
        return 1;
    }
    try {
        WavReader reader(in);
        QString error;
        const std::optional<WaveFormat> target = FormatText::parse(to, reader.format(), error);
        if (!target) {
            context.err << "orlamo-cli: " << error << '\n';
            return 2;
        }
        in.close();
        convertWavFile(args[0], args[1], *target);
        return 0;
    } catch (const std::exception& e) {
        context.err << "orlamo-cli: " << QString::fromStdString(e.what()) << '\n';
        QFile::remove(args[1]);
        return 1;
    }
}
