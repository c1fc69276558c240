// The Record action's start sequence, the two paths of the sound, and the Stop action.
#include "recorder/VoiceRecorder.h"

#include "audio/AudioErrors.h"
#include "audio/WavWriter.h"
#include "base/Logger.h"
#include "base/Prompter.h"
#include "library/Catalogue.h"
#include "library/TableError.h"
#include "modem/ModemController.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/ModemProfile.h"
#include "recorder/RecordingReadiness.h"
#include "settings/SettingsModel.h"

#include <QDir>
#include <QScopeGuard>

namespace {

const QString kModemCompressionFile = QStringLiteral("ModemCompression.cpn");

} // namespace

VoiceRecorder::VoiceRecorder(Logger& logger, Prompter& prompter, ModemController& modem, const ModemProfile& profile,
                             const CurrentCompression& compression, const SettingsModel& settings, Catalogue& catalogue,
                             QString workDir, QObject* parent)
    : QObject(parent), m_logger(logger), m_prompter(prompter), m_modem(modem), m_profile(profile),
      m_compression(compression), m_settings(settings), m_catalogue(catalogue), m_workDir(std::move(workDir)),
      m_path(logger) {
    m_clock.setInterval(kClockMs);
    connect(&m_clock, &QTimer::timeout, this, &VoiceRecorder::clockTick);
    m_reconnect.setInterval(kReconnectMs);
    connect(&m_reconnect, &QTimer::timeout, this, &VoiceRecorder::tryReconnect);
    connect(&m_modem.exchange(), &AtExchange::voiceData, this, &VoiceRecorder::voiceData);
    connect(&m_modem, &ModemController::portOpenChanged, this, &VoiceRecorder::portOpenChanged);
    connect(&m_modem.calls(), &CallDetector::handsetPutDown, this, &VoiceRecorder::handsetPutDown);
    connect(&m_path, &RecordingPath::dleEvent, this, &VoiceRecorder::dleEvent);
    connect(&m_path, &RecordingPath::writeFailure, this, &VoiceRecorder::writeFailure);
    connect(&m_path, &RecordingPath::lineEnded, this, &VoiceRecorder::lineEnded);
    connect(&m_path, &RecordingPath::displayFrame, this, &VoiceRecorder::displayBlock);
}

VoiceRecorder::~VoiceRecorder() = default;

QString VoiceRecorder::recordedPath() const {
    return m_workDir + QStringLiteral("/wav/Recorded.wav");
}

qint64 VoiceRecorder::writtenBytes() const {
    return m_writer ? m_writer->writtenBytes() : 0;
}

// --- start ---

void VoiceRecorder::startRecording() {
    if (m_recordPressed)
        return;
    m_recordPressed = true;
    Q_EMIT recordingChanged(true);
    if (m_modem.exchange().voiceReception())
        return;
    m_starting = true;
    const auto started = qScopeGuard([this] { m_starting = false; });
    m_outgoing = m_modem.calls().autoStarted() && m_modem.calls().outgoingCall();
    m_handsetDown = false;
    m_logger.add(QStringLiteral("-- Recording started"));
    if (m_settings.autoRecord())
        m_modem.calls().disableAutoRecord();
    Q_EMIT recordEnabled(false);
    Q_EMIT stopEnabled(false);

    if (!createRecordingFile()) {
        restoreControls();
        recoverFromFailedStart();
        return;
    }
    const ModemParams& p = m_profile.params();
    if (!m_modem.portOpen() && !m_modem.openModemPort(p.port, true)) {
        m_prompter.message(m_modem.reportOpenFailure(), Prompter::Icon::Error);
        restoreControls();
        releaseWriter();
        return;
    }
    const QString ok = QStringLiteral("OK");
    const QString voiceMode = QStringLiteral("Setting modem in voice mode..");
    auto fail = [this](const QString& text) {
        // A close during one of the waits below closed the port: that is why this step failed.
        if (m_closing)
            return abandonStart();
        m_prompter.message(text, Prompter::Icon::Error);
        abortRecordingStart();
    };
    if (m_redirection &&
        m_modem.exchange().sendCommand(QStringLiteral("at+fclass=12"), voiceMode, ok) != AtResult::Ok) {
        fail(QStringLiteral("Error Setting modem in voice mode.."));
        m_redirection = false;
        return;
    }
    if (m_modem.exchange().sendCommand(p.VoiceMode, voiceMode, ok) != AtResult::Ok)
        return fail(QStringLiteral("Error Setting modem in voice mode.."));
    const qsizetype eq = p.RecGain.indexOf(QLatin1Char('='));
    if (p.RecGain.mid(eq + 1, 4) != QStringLiteral("none") &&
        m_modem.exchange().sendCommand(p.RecGain, p.RecGain, ok) != AtResult::Ok)
        return fail(QStringLiteral("Error setting Rec gain.."));
    if (!p.SilenceTimer.contains(QStringLiteral("NONE"), Qt::CaseInsensitive))
        m_modem.exchange().sendCommand(p.SilenceTimer, p.SilenceTimer, ok);
    if (p.VoiceCompression.contains(QStringLiteral("NONE"), Qt::CaseInsensitive))
        return fail(QStringLiteral("Voice compression codec can not be recognized"));
    if (m_modem.exchange().sendCommand(p.VoiceCompression, p.VoiceCompression, ok) != AtResult::Ok)
        return fail(QStringLiteral("Error setting voice compession.."));
    if (m_modem.exchange().sendCommand(p.UseLine, QStringLiteral("Voice line set.. "), p.UseLineRes) != AtResult::Ok) {
        m_modem.closeModemPort();
        return fail(QStringLiteral("Error setting line.."));
    }
    if (startVoiceStream()) {
        Q_EMIT stopEnabled(true);
    } else {
        fail(QStringLiteral("Error Receiving data.."));
        if (!m_closing)
            m_modem.initModem();
    }
}

bool VoiceRecorder::createRecordingFile() {
    if (!QFile::exists(m_workDir + QLatin1Char('/') + kModemCompressionFile)) {
        m_prompter.message(QStringLiteral("None Codec found to match modem compression"), Prompter::Icon::Error);
        return false;
    }
    QDir().mkpath(m_workDir + QStringLiteral("/wav"));
    m_file.setFileName(recordedPath());
    // Unbuffered: after a refused write a file buffer would still hold the bytes and put them out at
    // the next seek, over the header, when the sizes are patched.
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_prompter.message(QStringLiteral("The recording file ") + QDir::toNativeSeparators(recordedPath()) +
                               QStringLiteral(" can not be created: ") + m_file.errorString(),
                           Prompter::Icon::Error);
        return false;
    }
    try {
        WaveFormat format;
        format.loadFormatFile(m_settings.fileCompressionPath());
        m_writer = std::make_unique<RecordingFileWriter>(m_file);
        m_writer->setFormat(format);
    } catch (const FileOpenError& e) {
        m_prompter.message(e.text(), Prompter::Icon::Error);
        m_file.close();
        return false;
    }
    return true;
}

bool VoiceRecorder::startVoiceStream() {
    if (!m_modem.exchange().sendNoWait(QStringLiteral("at+vrx"), QStringLiteral("Receiving data...")))
        return false;
    try {
        openRecordingPath();
    } catch (const std::exception& e) {
        // A conversion that cannot be opened: the modem streams, but nothing could take the sound. The
        // stream ends before anything else is said to the modem, or its sound drowns the replies.
        m_receiving = false;
        m_logger.add(QString::fromStdString(e.what()));
        m_modem.endVoiceStream();
        return false;
    }
    m_startTime = QDateTime::currentDateTime();
    m_ticks = 0;
    m_clock.start();
    return true;
}

void VoiceRecorder::openRecordingPath() {
    m_modem.exchange().setVoiceReception(true);
    m_receiving = true;
    m_stopQueued = false;
    m_stopMessage.clear();
    WaveFormat modemFormat;
    modemFormat.loadFormatFile(m_workDir + QLatin1Char('/') + kModemCompressionFile);
    const CompressionRecord& record = m_compression.record();
    m_modem.exchange().discardInput();
    m_path.start(modemFormat, m_writer.get(), RecordingPath::needsSignFix(record.bps, record.Description),
                 m_settings.discTime());
    // A call the user makes begins with dial tone and key tones: no tone ends it.
    m_path.setTonesEndCall(!m_outgoing);
    m_path.setDetectKeys(m_outgoing);
    m_toneAtMs = -1;
    m_dialled = m_outgoing ? m_modem.calls().dialledNumber() : DialledNumber();
}

void VoiceRecorder::restoreControls() {
    m_recordPressed = false;
    Q_EMIT recordingChanged(false);
    Q_EMIT recordEnabled(true);
    Q_EMIT stopEnabled(true);
}

void VoiceRecorder::releaseWriter() {
    try {
        m_writer.reset();
    } catch (const std::exception&) {
        // The header of a file that cannot be written any more stays as it is.
    }
    m_file.close();
}

void VoiceRecorder::closeDown() {
    m_closing = true;
    m_reconnect.stop();
    if (m_recordPressed && !m_starting)
        stopRecording();
}

void VoiceRecorder::abandonStart() {
    m_logger.add(QStringLiteral("Recording start abandoned: the program is closing"));
    m_path.abort();
    releaseWriter();
    // The file holds a header and no sound of any call.
    QFile::remove(recordedPath());
    m_recordPressed = false;
    Q_EMIT recordingChanged(false);
}

void VoiceRecorder::abortRecordingStart() {
    restoreControls();
    m_path.abort();
    releaseWriter();
    if (m_modem.openModemPort(m_profile.params().port, true)) {
        m_modem.initModem();
        recoverFromFailedStart();
    } else {
        m_prompter.message(m_modem.reportOpenFailure(), Prompter::Icon::Error);
        Q_EMIT recordEnabled(false);
    }
}

void VoiceRecorder::recoverFromFailedStart() {
    if (m_modem.portOpen() && !m_modem.exchange().voiceReception()) {
        if (m_settings.autoRecord())
            m_modem.calls().enableAutoRecord();
        else
            m_modem.calls().disableAutoRecord();
    }
    checkReadiness();
}

void VoiceRecorder::checkReadiness() {
    const QString problem = RecordingReadiness::problem(m_workDir, m_settings);
    if (problem == m_readinessProblem)
        return;
    m_readinessProblem = problem;
    m_logger.add(problem.isEmpty() ? QStringLiteral("The recorder can record again")
                                   : QStringLiteral("The recorder cannot record: ") + problem);
    Q_EMIT readinessChanged(problem);
}
