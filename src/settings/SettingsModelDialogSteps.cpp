// The settings model's side of the settings dialog: what it shows, OK, "Choose" and "Browse".
#include "settings/SettingsModel.h"

#include "audio/AudioConverter.h"
#include "audio/AudioErrors.h"
#include "audio/MatchModemCompression.h"
#include "base/Config.h"
#include "base/Prompter.h"
#include "settings/SettingsModemAccess.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace {

const QString kParams = QStringLiteral("Params");
const QString kModem = QStringLiteral("Modem");
const QString kFonts = QStringLiteral("Fonts");

} // namespace

bool SettingsModel::modemConfigured() const {
    return m_config.sectionExists(kModem);
}

QString SettingsModel::modemModel() const {
    return m_config.readString(kModem, QStringLiteral("Model"), QString());
}

int SettingsModel::modemPort(int defaultPort) const {
    return m_config.readInteger(kModem, QStringLiteral("port"), defaultPort);
}

QString SettingsModel::storedFontName() const {
    return m_config.readString(kFonts, QStringLiteral("FontName"), QString());
}

bool SettingsModel::callerIdAvailable() const {
    return m_config.readString(kModem, QStringLiteral("ForCallerId"), QStringLiteral("none")).toUpper() !=
           QLatin1String("NONE");
}

int SettingsModel::compressionIndex() const {
    return m_config.readInteger(kParams, QStringLiteral("Compression"), 0);
}

QString SettingsModel::modemCompressionPath() const {
    return QDir(m_workingFolder).filePath(kModemCompressionFile);
}

std::optional<int> SettingsModel::gainLevel(const QString& command) {
    const qsizetype equals = command.indexOf(QLatin1Char('='));
    const QString level = equals < 0 ? command : command.mid(equals + 1);
    if (level == QLatin1String("none"))
        return std::nullopt;
    bool ok = false;
    const int value = level.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> SettingsModel::storedGain(const char* key) const {
    return gainLevel(m_config.readString(kModem, QLatin1String(key), QStringLiteral("128")));
}

std::optional<int> SettingsModel::speakerLevel() const {
    return storedGain("SpeakerVol");
}

std::optional<int> SettingsModel::recordLevel() const {
    return storedGain("RecGain");
}

GainSpan SettingsModel::storedSpan(const char* minKey, const char* maxKey) const {
    return {m_config.readInteger(kModem, QLatin1String(minKey), 0),
            m_config.readInteger(kModem, QLatin1String(maxKey), 255)};
}

GainSpan SettingsModel::speakerSpan() const {
    return storedSpan("vgtMin", "vgtMax");
}

GainSpan SettingsModel::recordSpan() const {
    return storedSpan("vgrMin", "vgrMax");
}

int SettingsModel::tickSpacing(int span, int current) {
    // One tick a value for small ranges, about sixteen to thirty-two ticks for the larger ones.
    if (span <= 15)
        return 1;
    if (span <= 31)
        return 2;
    if (span <= 47)
        return 3;
    if (span <= 127)
        return 4;
    if (span <= 255)
        return 8;
    return current;
}

void SettingsModel::loadShownValues() {
    if (modemConfigured()) {
        m_baudrateIndex = std::clamp(m_config.readInteger(kModem, QStringLiteral("baudrate"), kDefaultBaudrateIndex), 0,
                                     int(SerialLine::kSpeeds.size()) - 1);
        m_flowControlIndex =
            std::clamp(m_config.readInteger(kModem, QStringLiteral("FlowControl"), kDefaultFlowControlIndex), 0,
                       SerialLine::kFlowControlCount - 1);
        // The dialog's own default when the key is missing.
        m_timeout = std::clamp(m_config.readInteger(kParams, QStringLiteral("Timeout"), 2), 1, 6);
    }
    m_extPlayer = m_config.readBool(kParams, QStringLiteral("ExtPlayer"), false);
    m_startUp = m_config.readBool(kParams, QStringLiteral("StartUp"), false);
    // Without a caller ID command the box is unticked, and OK stores that.
    m_callerId = callerIdAvailable() && m_config.readBool(kParams, QStringLiteral("CallerID"), true);
    m_fontChosen = false;
    Q_EMIT changed();
}

bool SettingsModel::confirm(const SettingsConfirmation& choice, SettingsModemAccess* modemSide) {
    if (modemConfigured()) {
        saveGains(choice.speakerLevel, choice.recordLevel);
        if (choice.compressionIndex >= 0) {
            saveCompressionChoice(choice.compressionIndex, choice.compressionCommand);
            if (modemSide && !modemSide->matchCompression()) {
                // A stale file would let recordings start in a compression the modem no longer sends.
                QFile::remove(modemCompressionPath());
                return false;
            }
        }
    }
    save();
    return true;
}

SettingsModel::FormatChoice SettingsModel::chooseFileCompression(FormatChooser& chooser, Prompter& prompter) {
    WaveFormat format = m_fileCompression;
    try {
        if (!format.chooseFormat(QStringLiteral("Choose file compression format"), chooser))
            return FormatChoice::Cancelled;
    } catch (const AudioError& e) {
        prompter.message(e.text(), Prompter::Icon::Error);
        return FormatChoice::Refused;
    }
    // The recording converter's test: from its fixed input format to the chosen one.
    AudioConverter test;
    test.setFormatOut(format);
    try {
        test.open();
        if (test.active())
            test.close();
    } catch (const AudioError&) {
        prompter.message(QStringLiteral("Error was created. Choose a different compression."), Prompter::Icon::Error);
        return FormatChoice::Refused;
    }
    try {
        setFileCompression(format);
    } catch (const FileOpenError& e) {
        prompter.message(e.text(), Prompter::Icon::Error);
        return FormatChoice::Refused;
    }
    return FormatChoice::Saved;
}

void SettingsModel::setBrowsedPlayer(const QString& program) {
    setPlayer(program);
    m_config.writeString(kParams, QStringLiteral("Player"), program);
    QDir::setCurrent(m_workingFolder);
}
