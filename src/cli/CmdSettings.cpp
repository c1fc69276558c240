// orlamo-cli settings [NAME=VALUE...]: shows the settings, or changes them as the settings dialog's OK
// does (start at logon included), through the one settings model.
#include "audio/FormatChooser.h"
#include "audio/WaveFormat.h"
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/UnattendedPrompter.h"
#include "cli/CliContext.h"
#include "cli/FormatText.h"
#include "program/Program.h"
#include "settings/SerialLine.h"
#include "settings/SettingsEditor.h"
#include "settings/SettingsModel.h"

#include <QDir>
#include <QHostAddress>
#include <algorithm>
#include <functional>
#include <optional>

namespace {

const QStringList kFlowControls = {QStringLiteral("Hardware"), QStringLiteral("Software"), QStringLiteral("None")};

/// One setting: its key in tvk.ini, how it is shown, and how a text changes it (false: refused).
struct Setting {
    QLatin1StringView name;
    std::function<QString(const SettingsModel&)> show;
    std::function<bool(SettingsModel&, const QString&)> set;
};

std::optional<int> integer(const QString& text, int min, int max) {
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok && v >= min && v <= max ? std::optional<int>(v) : std::nullopt;
}

Setting flag(const ConfigKey& key, bool (SettingsModel::*get)() const, void (SettingsModel::*put)(bool)) {
    return {key.name, [get](const SettingsModel& m) { return QString::number((m.*get)() ? 1 : 0); },
            [put](SettingsModel& m, const QString& text) {
                if (text != QLatin1String("0") && text != QLatin1String("1"))
                    return false;
                (m.*put)(text == QLatin1String("1"));
                return true;
            }};
}

Setting number(const ConfigKey& key, int min, int max, int (SettingsModel::*get)() const,
               void (SettingsModel::*put)(int)) {
    return {key.name, [get](const SettingsModel& m) { return QString::number((m.*get)()); },
            [min, max, put](SettingsModel& m, const QString& text) {
                const std::optional<int> v = integer(text, min, max);
                if (v)
                    (m.*put)(*v);
                return v.has_value();
            }};
}

Setting colour(const ConfigKey& key, int (SettingsModel::*get)() const, void (SettingsModel::*put)(int)) {
    return {key.name, [get](const SettingsModel& m) { return QString::number((m.*get)()); },
            [put](SettingsModel& m, const QString& text) {
                // 0x00BBGGRR, in decimal or as 0x...
                const int v = Config::decodeInteger(text, -1);
                if (v < 0 || v > 0xFFFFFF)
                    return false;
                (m.*put)(v);
                return true;
            }};
}

/// By the index the file stores, shown and taken as the list's text.
Setting choice(const ConfigKey& key, const QStringList& texts, int (SettingsModel::*get)() const,
               void (SettingsModel::*put)(int)) {
    return {key.name, [texts, get](const SettingsModel& m) { return texts.value((m.*get)()); },
            [texts, put](SettingsModel& m, const QString& text) {
                const qsizetype index = texts.indexOf(text, 0);
                if (index < 0)
                    return false;
                (m.*put)(int(index));
                return true;
            }};
}

/// One field of the remote access settings.
Setting webSetting(QLatin1StringView name, std::function<QString(const SettingsModel::RemoteAccess&)> show,
                   std::function<bool(SettingsModel::RemoteAccess&, const QString&)> change) {
    return {name, [show](const SettingsModel& m) { return show(m.remoteAccess()); },
            [change](SettingsModel& m, const QString& text) {
                SettingsModel::RemoteAccess access = m.remoteAccess();
                if (!change(access, text))
                    return false;
                m.setRemoteAccess(access);
                return true;
            }};
}

QList<Setting> settingsTable() {
    QStringList speeds;
    for (int speed : SerialLine::kSpeeds)
        speeds << QString::number(speed);
    QStringList points;
    for (int p = 1200; p <= 3000; p += 200)
        points << QString::number(p);
    using M = SettingsModel;
    using namespace ConfigKeys;
    return {
        flag(kStartUp, &M::startUp, &M::setStartUp),
        flag(kSystemTray, &M::startToTray, &M::setStartToTray),
        flag(kCallerId, &M::callerId, &M::setCallerId),
        number(kTimeout, 1, 6, &M::timeout, &M::setTimeout),
        choice(kBaudrate, speeds, &M::baudrateIndex, &M::setBaudrateIndex),
        choice(kFlowControl, kFlowControls, &M::flowControlIndex, &M::setFlowControlIndex),
        flag(kExtPlayer, &M::extPlayer, &M::setExtPlayer),
        {kPlayer.name, [](const M& m) { return m.player(); },
         [](M& m, const QString& text) {
             if (text.isEmpty())
                 return false;
             m.setPlayer(text);
             return true;
         }},
        flag(kPlayTrace, &M::playTrace, &M::setPlayTrace),
        flag(kRecordTrace, &M::recordTrace, &M::setRecordTrace),
        choice(kPoints, points, &M::pointsIndex, &M::setPointsIndex),
        colour(kBackColor, &M::backColor, &M::setBackColor),
        colour(kTraceColor, &M::traceColor, &M::setTraceColor),
        flag(kAutoRecord, &M::autoRecord, &M::setAutoRecord),
        number(kDiscTime, 1, 30, &M::discTime, &M::setDiscTime),
        flag(kRejectCall, &M::rejectCall, &M::setRejectCall),
        number(kRejectRings, 2, 20, &M::rejectRings, &M::setRejectRings),
        {kMirrorFolder.name, [](const M& m) { return m.mirrorFolder(); },
         [](M& m, const QString& text) {
             // Empty switches the mirror off; a relative path would depend on where the recorder starts.
             if (!text.trimmed().isEmpty() && !QDir::isAbsolutePath(text.trimmed()))
                 return false;
             m.setMirrorFolder(text);
             return true;
         }},
        number(kDiskFloor, 0, kDiskFloorMaxMegabytes, &M::diskFloorMegabytes, &M::setDiskFloorMegabytes),
        {kHomeCountry.name, [](const M& m) { return m.homeCountry(); },
         [](M& m, const QString& text) {
             if (!SettingsModel::isHomeCountry(text))
                 return false;
             m.setHomeCountry(text);
             return true;
         }},
        choice(kAttachAs, SettingsModel::attachFormats(), &M::attachAsIndex, &M::setAttachAsIndex),
        // The web page: [Web] of tvk.ini, named with the section so they are not taken for other keys.
        webSetting(
            "Web.Enabled"_L1, [](const M::RemoteAccess& a) { return QString::number(a.enabled ? 1 : 0); },
            [](M::RemoteAccess& a, const QString& text) {
                a.enabled = text == QLatin1String("1");
                return text == QLatin1String("0") || text == QLatin1String("1");
            }),
        webSetting(
            "Web.Address"_L1, [](const M::RemoteAccess& a) { return a.address; },
            [](M::RemoteAccess& a, const QString& text) {
                a.address = text.trimmed();
                return !QHostAddress(a.address).isNull() || a.address == QLatin1String("localhost");
            }),
        webSetting(
            "Web.Port"_L1, [](const M::RemoteAccess& a) { return QString::number(a.port); },
            [](M::RemoteAccess& a, const QString& text) {
                const std::optional<int> port = integer(text, 1, 65535);
                a.port = port.value_or(a.port);
                return port.has_value();
            }),
        webSetting(
            "Web.Certificate"_L1, [](const M::RemoteAccess& a) { return a.certificate; },
            [](M::RemoteAccess& a, const QString& text) {
                a.certificate = text;
                return true;
            }),
        webSetting(
            "Web.PrivateKey"_L1, [](const M::RemoteAccess& a) { return a.privateKey; },
            [](M::RemoteAccess& a, const QString& text) {
                a.privateKey = text;
                return true;
            }),
        webSetting(
            "Web.AllowPlainHttp"_L1, [](const M::RemoteAccess& a) { return QString::number(a.allowPlainHttp ? 1 : 0); },
            [](M::RemoteAccess& a, const QString& text) {
                a.allowPlainHttp = text == QLatin1String("1");
                return text == QLatin1String("0") || text == QLatin1String("1");
            }),
    };
}

/// Keeps the refusal's text for the one error line.
class RefusalPrompter : public UnattendedPrompter {
public:
    QString text;
    void message(const QString& shown, Icon) override { text = shown.simplified(); }
};

/// The chooser of the settings dialog's "Choose", answered with the format named on the command line.
class NamedFormat : public FormatChooser {
public:
    explicit NamedFormat(const WaveFormat& format) : m_format(format) {}
    int chooseFormat(const QString&, std::span<uint8_t, 128> buffer) override {
        std::copy_n(m_format.raw(), WaveFormat::kBufferSize, buffer.begin());
        return 0;
    }

private:
    const WaveFormat& m_format;
};

/// FileCompression=FORMAT[:RATE[:BITS[:CHANNELS]]] as convert's --to takes it; missing values come from
/// the current file compression. Stored through the dialog's own step, so a format no converter
/// writes is refused the same way.
bool chooseFileCompression(CliContext& context, SettingsModel& model, const QString& text) {
    QString error;
    const std::optional<WaveFormat> format = FormatText::parse(text, model.fileCompression(), error);
    if (!format) {
        context.err << "orlamo-cli settings: FileCompression cannot be '" << text << "': " << error << '\n';
        return false;
    }
    NamedFormat chooser(*format);
    RefusalPrompter refusal;
    if (SettingsEditor(model).chooseFileCompression(chooser, refusal) == SettingsEditor::FormatChoice::Saved)
        return true;
    context.err << "orlamo-cli settings: FileCompression cannot be '" << text << "': " << refusal.text << '\n';
    return false;
}

} // namespace

int cmdSettings(CliContext& context) {
    const QList<Setting> table = settingsTable();
    QList<std::pair<const Setting*, QString>> changes;
    std::optional<QString> fileCompression;
    for (const QString& arg : context.args) {
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        const QString name = arg.left(equals);
        const Setting* setting = nullptr;
        for (const Setting& s : table)
            if (name.compare(s.name, Qt::CaseInsensitive) == 0)
                setting = &s;
        const bool isFileCompression = name.compare(QLatin1String("FileCompression"), Qt::CaseInsensitive) == 0;
        if (equals < 0 || (!setting && !isFileCompression)) {
            context.err << "orlamo-cli settings: unknown setting '" << name << "' (orlamo-cli settings lists them)\n";
            return 2;
        }
        if (isFileCompression) {
            fileCompression = arg.mid(equals + 1);
            continue;
        }
        changes.append({setting, arg.mid(equals + 1)});
    }

    UnattendedPrompter prompter; // messages go to standard error
    Program program(context.workDir, context.options, prompter);
    program.startModemSide();
    SettingsModel& model = program.settings();
    model.loadMediaPlayer();
    for (const auto& [setting, text] : changes) {
        if (!setting->set(model, text)) {
            context.err << "orlamo-cli settings: " << setting->name << " cannot be '" << text << "'\n";
            return 2;
        }
    }
    if (fileCompression && !chooseFileCompression(context, model, *fileCompression))
        return 2;
    if (!changes.isEmpty())
        model.save();
    for (const Setting& s : table)
        context.out << s.name << '=' << s.show(model) << '\n';
    context.out << "FileCompression=" << model.fileCompression().formatDescription() << '\n';
    return 0;
}
