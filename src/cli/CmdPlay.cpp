// orlamo-cli play FILE|ID [--volume 0..16]: plays a WAV file or a catalogued recording and waits for its end.
#include "cli/CliContext.h"
#include "library/CatalogueListing.h"
#include "library/TableError.h"
#include "playback/PlaybackController.h"
#include "program/TerminationSignals.h"
#include "sound/OutputDevices.h"
#include "sound/Player.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

constexpr int kInterruptedStatus = 130;

// The sound system's own chatter ("PulseAudioService: pa_context_connect() failed") is not the
// command's error; only what the command reports reaches standard error.
void quietAudioBackend(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// A file named on the command line, else the recording with that identifier in the catalogue.
QString resolve(CliContext& context, const QString& name) {
    QString file = context.userPath(name);
    if (QFile::exists(file))
        return file;
    std::vector<CatalogueListRow> rows;
    try {
        rows = CatalogueListing::read(context.workDir, CatalogueDateFormat(), QString(), nullptr);
    } catch (const TableError&) {
        return QString();
    }
    for (const CatalogueListRow& row : rows)
        if (row.id == name)
            return QDir(context.workDir).filePath(row.wavPath);
    return QString();
}

} // namespace

int cmdPlay(CliContext& context) {
    QString name;
    int volume = PlaybackController::kMaxVolumePosition;
    for (qsizetype i = 0; i < context.args.size(); ++i) {
        const QString& arg = context.args.at(i);
        if (arg == QLatin1String("--volume") && i + 1 < context.args.size()) {
            bool ok = false;
            volume = context.args.at(++i).toInt(&ok);
            if (!ok || volume < 0 || volume > PlaybackController::kMaxVolumePosition) {
                context.err << "orlamo-cli play: the volume is a number from 0 to 16\n";
                return 2;
            }
        } else if (name.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            name = arg;
        } else {
            context.err << "usage: orlamo-cli play FILE|ID [--volume 0..16]\n";
            return 2;
        }
    }
    if (name.isEmpty()) {
        context.err << "usage: orlamo-cli play FILE|ID [--volume 0..16]\n";
        return 2;
    }
    const QString path = resolve(context, name);
    if (path.isEmpty()) {
        context.err << "orlamo-cli play: there is no file or recording " << name << '\n';
        return 1;
    }
    if (!QFile::exists(path)) {
        context.err << "orlamo-cli play: \"" << path << "\" file does not exist\n";
        return 1;
    }

    qInstallMessageHandler(quietAudioBackend);
    OutputDevices devices;
    Player player(&devices);
    player.setDecodeCopy(false);
    if (!player.open(path)) {
        context.err << "orlamo-cli play: " << path << ": " << player.errorText() << '\n';
        return 1;
    }
    const int device = devices.playbackIndex();
    if (device < 0) {
        context.err << "orlamo-cli play: there is no sound output device\n";
        return 1;
    }
    devices.setVolume(device, PlaybackController::volumeValue(volume));
    context.out << "length: " << QString::number(static_cast<double>(player.length()) / 1000.0, 'f', 3) << " s\n";
    context.out.flush();

    int status = 0;
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, [&player, &status] {
        player.close(); // silent at once
        status = kInterruptedStatus;
        QCoreApplication::quit();
    });
    QObject::connect(&player, &MediaPlayer::finished, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    if (!player.play()) {
        context.err << "orlamo-cli play: " << player.errorText() << '\n';
        return 1;
    }
    if (player.mode() == MediaPlayer::Mode::Playing)
        QCoreApplication::exec();
    if (status == 0 && player.error() != MediaPlayer::NoError) {
        context.err << "orlamo-cli play: " << player.errorText() << '\n';
        return 1;
    }
    return status;
}
