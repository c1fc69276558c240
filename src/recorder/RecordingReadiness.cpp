// The start checks of a recording that need no modem.
#include "recorder/RecordingReadiness.h"

#include "audio/AudioConverter.h"
#include "audio/AudioErrors.h"
#include "audio/MatchModemCompression.h"
#include "audio/WaveFormat.h"
#include "settings/SettingsModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <exception>

QString RecordingReadiness::problem(const QString& workDir, const SettingsModel& settings) {
    const QString modemFile = QDir(workDir).filePath(kModemCompressionFile);
    if (!QFile::exists(modemFile))
        return QStringLiteral("None Codec found to match modem compression");
    try {
        WaveFormat modemFormat;
        modemFormat.loadFormatFile(modemFile);
        WaveFormat fileFormat;
        fileFormat.loadFormatFile(settings.fileCompressionPath());
        AudioConverter converter;
        converter.setFormatIn(modemFormat);
        converter.setFormatOut(fileFormat);
        converter.open();
        converter.close();
    } catch (const FileOpenError& e) {
        return e.text();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    const QString wav = QDir(workDir).filePath(QStringLiteral("wav"));
    if (!QDir().mkpath(wav) || !QFileInfo(wav).isWritable())
        return QStringLiteral("The recording file ") + QDir::toNativeSeparators(wav + QStringLiteral("/Recorded.wav")) +
               QStringLiteral(" can not be created: the folder cannot be written");
    return {};
}
