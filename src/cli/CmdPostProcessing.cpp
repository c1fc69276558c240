// orlamo-cli level and equalize: the post-processing windows' passes on a recording, saved in its own format.
#include "audio/AudioErrors.h"
#include "base/UnattendedPrompter.h"
#include "cli/CliCatalogue.h"
#include "cli/CliContext.h"
#include "library/Catalogue.h"
#include "library/TableError.h"
#include "postproc/PostProcessingSession.h"
#include "postproc/VolumeLevel.h"
#include "program/RecordingDuration.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>

namespace {

/// Keeps the messages the decoder and the catalogue would show, so the command reports them in its
/// own line.
class CollectingPrompter : public UnattendedPrompter {
public:
    QStringList messages;
    void message(const QString& text, Icon) override { messages << text.simplified(); }
};

struct Arguments {
    QString recording;
    QString out;
    QString percent;
    bool hasPercent = false;
};

/// The arguments, or an error text for the usage line.
std::optional<Arguments> parse(const QStringList& args, bool takesPercent, QString& error) {
    Arguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--out") && hasValue) {
            parsed.out = args.at(++i);
        } else if (takesPercent && arg == QLatin1String("--percent") && hasValue) {
            parsed.percent = args.at(++i);
            parsed.hasPercent = true;
        } else if (arg.startsWith(QLatin1String("--")) || !parsed.recording.isEmpty()) {
            error = QStringLiteral("unexpected argument '%1'").arg(arg);
            return std::nullopt;
        } else {
            parsed.recording = arg;
        }
    }
    if (parsed.recording.isEmpty())
        error = QStringLiteral("no recording given");
    else if (takesPercent && !parsed.hasPercent)
        error = QStringLiteral("--percent is missing");
    return error.isEmpty() ? std::optional(parsed) : std::nullopt;
}

/// Decodes, runs `pass` once, saves, and prints what the pass said it did. `pass` returns an error
/// text, or nothing when it changed the samples.
using Pass = std::function<QString(PostProcessingSession& session, QString& done)>;
int processFile(CliContext& context, const QString& prefix, const QString& path, const QString& target,
                const Pass& pass) {
    if (QFileInfo::exists(target) && !QFileInfo(target).isFile()) {
        context.err << prefix << target << " is not a file\n";
        return 1;
    }
    // A work file of its own: temp.wav may be in use by the windowed program.
    QTemporaryDir workDir;
    if (!workDir.isValid()) {
        context.err << prefix << "cannot create a work file: " << workDir.errorString() << '\n';
        return 1;
    }
    CollectingPrompter prompter;
    PostProcessingSession session(prompter, workDir.filePath(QStringLiteral("work.pcm")));
    if (!session.open(path)) {
        context.err << prefix << path << " is not a recording Orlamo can read ("
                    << prompter.messages.join(QStringLiteral("; ")) << ")\n";
        return 1;
    }
    QString done;
    const QString failure = pass(session, done);
    if (!failure.isEmpty()) {
        context.err << prefix << failure << "; " << path << " is unchanged\n";
        return 1;
    }
    QString saveError;
    try {
        if (!session.save(target))
            saveError = QStringLiteral("Error was created during ") + target + QStringLiteral(" file saving");
    } catch (const FileOpenError& error) {
        saveError = error.text();
    }
    if (!saveError.isEmpty()) {
        context.err << prefix << saveError << "; " << target
                    << (QFileInfo::exists(target) ? " is unchanged\n" : " was not written\n");
        return 1;
    }
    context.out << done << '\n';
    return 0;
}

/// A file, or the recording with identifier `args.recording` in the working folder's catalogue under
/// the name its row gives it (a file still under its legacy name is renamed first, as the windows
/// do). A recording of the catalogue is changed under the catalogue's lock, and its row gets the
/// length of the saved file.
int postProcess(CliContext& context, const QString& command, const Arguments& args, const Pass& pass) {
    const QString prefix = QStringLiteral("orlamo-cli ") + command + QStringLiteral(": ");
    const QString asFile = context.userPath(args.recording);
    if (QFileInfo(asFile).isFile())
        return processFile(context, prefix, asFile, args.out.isEmpty() ? asFile : context.userPath(args.out), pass);
    static const QRegularExpression idPattern(QStringLiteral("^[0-9A-Za-z]{1,10}$"));
    const QString& id = args.recording;
    if (!idPattern.match(id).hasMatch()) {
        context.err << prefix << "no such file: " << asFile << '\n';
        return 1;
    }
    if (!QFile::exists(QDir(context.workDir).filePath(QStringLiteral("Recordings.d")))) {
        context.err << prefix
                    << QStringLiteral("%1 is neither a file nor a recording: the working folder %2 has no catalogue")
                           .arg(id, context.workDir)
                    << '\n';
        return 1;
    }
    return runOnCatalogue(context, command, [&](Catalogue& catalogue, CommandLinePrompter&) {
        if (!catalogue.locateRecording(id, true)) {
            context.err
                << prefix
                << QStringLiteral("%1 is neither a file nor the id of a recording in %2").arg(id, context.workDir)
                << '\n';
            return 1;
        }
        catalogue.migrateLegacyFile();
        const QString path = catalogue.wavPath(catalogue.recordingBaseName());
        if (!QFileInfo(path).isFile()) {
            context.err << prefix << QStringLiteral("the file of recording %1 is missing: %2").arg(id, path) << '\n';
            return 1;
        }
        const QString target = args.out.isEmpty() ? path : context.userPath(args.out);
        const int code = processFile(context, prefix, path, target, pass);
        if (code == 0 && QFileInfo(target) == QFileInfo(path))
            RecordingDuration::update(catalogue, path);
        return code;
    });
}

} // namespace

int cmdLevel(CliContext& context) {
    QString error;
    const std::optional<Arguments> args = parse(context.args, true, error);
    if (!args) {
        context.err << "orlamo-cli level: " << error << " (usage: orlamo-cli level FILE|ID --percent P [--out FILE])\n";
        return 2;
    }
    bool isNumber = false;
    const int percent = args->percent.toInt(&isNumber);
    if (!isNumber || percent < VolumeLevel::kMinPercent || percent > VolumeLevel::kMaxPercent) {
        context.err << "orlamo-cli level: the percent must be a whole number from " << VolumeLevel::kMinPercent
                    << " to " << VolumeLevel::kMaxPercent << ", not '" << args->percent << "'\n";
        return 2;
    }
    return postProcess(context, QStringLiteral("level"), *args, [&](PostProcessingSession& session, QString& done) {
        session.applyGain(percent);
        done = QStringLiteral("%1: volume changed by %2 %").arg(session.recordingPath()).arg(percent);
        return QString();
    });
}

int cmdEqualize(CliContext& context) {
    QString error;
    const std::optional<Arguments> args = parse(context.args, false, error);
    if (!args) {
        context.err << "orlamo-cli equalize: " << error << " (usage: orlamo-cli equalize FILE|ID [--out FILE])\n";
        return 2;
    }
    return postProcess(context, QStringLiteral("equalize"), *args, [](PostProcessingSession& session, QString& done) {
        const VoiceEqualizer::Result result = session.equalize();
        if (result.noVoice())
            return QStringLiteral("no voice was found (no 25 ms frame is louder than silence), nothing to equalize");
        done = QStringLiteral("%1: %2 of %3 voice passages raised to 1.3 times the average voice level %4")
                   .arg(session.recordingPath())
                   .arg(result.raised)
                   .arg(result.passages)
                   .arg(static_cast<double>(result.average), 0, 'f', 2);
        return QString();
    });
}
