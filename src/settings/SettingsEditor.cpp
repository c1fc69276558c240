// The settings dialog's steps on the settings model and the modem profile keys.
#include "settings/SettingsEditor.h"

#include "audio/AudioConverter.h"
#include "audio/AudioErrors.h"
#include "audio/MatchModemCompression.h"
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Prompter.h"
#include "settings/SerialLine.h"
#include "settings/SettingsModel.h"
#include "settings/SettingsModemAccess.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

using namespace ConfigKeys;

SettingsEditor::SettingsEditor(SettingsModel& model) : m_model(model) {}

Config& SettingsEditor::config() const {
    return m_model.config();
}

bool SettingsEditor::modemConfigured() const {
    return config().sectionExists(kModemSection);
}

QString SettingsEditor::modemModel() const {
    return config().readString(kModel, QString());
}

int SettingsEditor::modemPort(int defaultPort) const {
    return config().readInteger(kModemPort, defaultPort);
}

QString SettingsEditor::storedFontName() const {
    return config().readString(kFontName, QString());
}

bool SettingsEditor::callerIdAvailable() const {
    return config().read(kForCallerId).toUpper() != QLatin1String("NONE");
}

int SettingsEditor::compressionIndex() const {
    return config().read(kCompression);
}

QString SettingsEditor::modemCompressionPath() const {
    return QDir(m_model.workingFolder()).filePath(kModemCompressionFile);
}

std::optional<int> SettingsEditor::gainLevel(const QString& command) {
    const qsizetype equals = command.indexOf(QLatin1Char('='));
    const QString level = equals < 0 ? command : command.mid(equals + 1);
    if (level == QLatin1String("none"))
        return std::nullopt;
    bool ok = false;
    const int value = level.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> SettingsEditor::speakerLevel() const {
    return gainLevel(config().read(kSpeakerVol));
}

std::optional<int> SettingsEditor::recordLevel() const {
    return gainLevel(config().read(kRecGain));
}

GainSpan SettingsEditor::speakerSpan() const {
    return {config().read(kSpeakerGainMin), config().read(kSpeakerGainMax)};
}

GainSpan SettingsEditor::recordSpan() const {
    return {config().read(kRecordGainMin), config().read(kRecordGainMax)};
}

int SettingsEditor::tickSpacing(int span, int current) {
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

void SettingsEditor::loadShownValues() {
    if (modemConfigured()) {
        // Out-of-range indices go to the nearest end of the list here, not to the default as on load.
        m_model.setBaudrateIndex(std::clamp(config().read(kBaudrate), 0, int(SerialLine::kSpeeds.size()) - 1));
        m_model.setFlowControlIndex(std::clamp(config().read(kFlowControl), 0, SerialLine::kFlowControlCount - 1));
        // The dialog's own default when the key is missing.
        m_model.setTimeout(config().readInteger(kTimeout, 2));
    }
    m_model.setExtPlayer(config().read(kExtPlayer));
    m_model.setStartUp(config().read(kStartUp));
    // Without a caller ID command the box is unticked, and OK stores that.
    m_model.setCallerId(callerIdAvailable() && config().read(kCallerId));
    m_model.forgetChosenFont();
}

void SettingsEditor::saveGains(int speakerLevel, int recordLevel) {
    if (config().readString(kSpeakerVol, QString()) != QLatin1String("none"))
        config().writeString(kSpeakerVol, QStringLiteral("at+vgt=%1").arg(speakerLevel));
    if (config().readString(kRecGain, QString()) != QLatin1String("none"))
        config().writeString(kRecGain, QStringLiteral("at+vgr=%1").arg(recordLevel));
}

void SettingsEditor::saveCompressionChoice(int index, const QString& vsmCommand) {
    config().writeString(kVoiceCompression, vsmCommand);
    config().writeInteger(kCompression, index);
}

void SettingsEditor::restoreFile(const QString& path, bool existed, const QByteArray& contents) {
    if (!existed) {
        QFile::remove(path);
        return;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.commit())
        return;
    // Better no file than the refused one: a recording then says that no compression was matched.
    QFile::remove(path);
}

bool SettingsEditor::confirm(const SettingsConfirmation& choice, SettingsModemAccess* modemSide) {
    if (modemConfigured()) {
        saveGains(choice.speakerLevel, choice.recordLevel);
        if (choice.compressionIndex >= 0) {
            // The match reads the choice from tvk.ini. A refused one is taken back at once, with the
            // compression file it replaced: Cancel, or the configuration applied after the dialog,
            // would otherwise load the refused choice and every recording would fail.
            const QString oldCommand = config().readString(kVoiceCompression, QString());
            const int oldIndex = config().read(kCompression);
            QFile oldFile(modemCompressionPath());
            const bool hadFile = oldFile.open(QIODevice::ReadOnly);
            const QByteArray oldContents = hadFile ? oldFile.readAll() : QByteArray();
            oldFile.close();
            saveCompressionChoice(choice.compressionIndex, choice.compressionCommand);
            if (modemSide && !modemSide->matchCompression()) {
                saveCompressionChoice(oldIndex, oldCommand);
                restoreFile(modemCompressionPath(), hadFile, oldContents);
                return false;
            }
        }
    }
    m_model.save();
    return true;
}

SettingsEditor::FormatChoice SettingsEditor::chooseFileCompression(FormatChooser& chooser, Prompter& prompter) {
    WaveFormat format = m_model.fileCompression();
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
        m_model.setFileCompression(format);
    } catch (const FileOpenError& e) {
        prompter.message(e.text(), Prompter::Icon::Error);
        return FormatChoice::Refused;
    }
    return FormatChoice::Saved;
}

void SettingsEditor::setBrowsedPlayer(const QString& program) {
    m_model.setPlayer(program);
    config().writeString(kPlayer, program);
    QDir::setCurrent(m_model.workingFolder());
}
