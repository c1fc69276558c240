// Writing the modem profile: the default commands tested one by one, the probes, the stored keys.
#include "modemsetup/ModemProfileWriter.h"

#include "audio/AudioErrors.h"
#include "audio/MatchModemCompression.h"
#include "base/Config.h"
#include "base/Logger.h"
#include "base/Prompter.h"
#include "modem/ModemController.h"
#include "modem/PortMap.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/GainRange.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/VoiceCapabilityProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <utility>

namespace {
const QString kModem = QStringLiteral("Modem");
const QString kParams = QStringLiteral("Params");
const QString kNone = QStringLiteral("none");
} // namespace

ModemProfileWriter::ModemProfileWriter(Config& config, Logger& logger, Prompter& prompter, ModemController& modem,
                                       ModemProfile& profile, VoiceCapabilityProbe& parse, CurrentCompression& current,
                                       ModemSearch& search, QString workingFolder, QObject* parent)
    : QObject(parent), m_config(config), m_logger(logger), m_prompter(prompter), m_modem(modem), m_profile(profile),
      m_parse(parse), m_current(current), m_search(search), m_workingFolder(std::move(workingFolder)) {}

void ModemProfileWriter::fillDefaultCommands(ModemParams& e) {
    e.VoiceMode = QStringLiteral("at+fclass=8");
    e.InitVoice = QStringLiteral("at+vid");
    e.Reset = QStringLiteral("atz");
    e.answer = QStringLiteral("ats0=0");
    e.DisCallerId = QStringLiteral("at+vcid=0");
    e.ForCallerId = QStringLiteral("at+vcid=1");
    e.UnfCallerId = QStringLiteral("at+vcid=2");
    e.Distinctive = QStringLiteral("at+vdr=0");
    e.SpeakerVol = QStringLiteral("at+vgt=128");
    e.RecGain = QStringLiteral("at+vgr=128");
    e.LineSel_T = QStringLiteral("at+vls=1");
    e.BeepTone = QStringLiteral("at+vtd=100");
    e.SilenceTimer = QStringLiteral("at+vsd=127,255");
    e.ToneGeneration = QStringLiteral("at+vts=");
    e.VoiceProcess = QStringLiteral("at+vtr");
    e.VoiceTrx = QStringLiteral("at+vtx");
    e.VoiceRec = QStringLiteral("at+vrx");
    e.VoiceCompression = QStringLiteral("at+vsm=128");
    e.SpeakerOn = QStringLiteral("at+vsp=1");
    e.SpeakerOff = QStringLiteral("at+vsp=0");
    e.MicGain = QStringLiteral("at+vgm=128");
    e.SpeakerGain = QStringLiteral("at+vgs=128");
}

void ModemProfileWriter::fillCommandTable(int number) {
    fillDefaultCommands(m_search.entry(number));
}

int ModemProfileWriter::gaugeFor(int step) {
    return (step * 200 + kGaugeSteps) / (2 * kGaugeSteps);
}

void ModemProfileWriter::gaugeStep() {
    ++m_step;
    Q_EMIT gaugeChanged(gaugeFor(m_step));
}

void ModemProfileWriter::writeModem(const QString& key, const QString& value) {
    m_config.writeString(kModem, key, value);
}

void ModemProfileWriter::testCommand(const QString& key, const QString& command) {
    const bool accepted = ModemParams::usable(command) &&
                          m_modem.exchange().sendCommand(command, command, QStringLiteral("ok")) == AtResult::Ok;
    writeModem(key, accepted ? command : kNone);
}

void ModemProfileWriter::probeGain(const char* query, const char* minKey, const char* maxKey, const char* key,
                                   const char* command) {
    QString reply;
    if (m_modem.exchange().sendQuery(QLatin1String(query), reply) != AtResult::Ok) {
        writeModem(QLatin1String(key), kNone);
        return;
    }
    GainRange range{0, 0};
    VoiceCapabilityProbe::parseGainRange(reply, range);
    m_config.writeInteger(kModem, QLatin1String(minKey), range.low);
    m_config.writeInteger(kModem, QLatin1String(maxKey), range.high);
    writeModem(QLatin1String(key), QLatin1String(command) + QString::number((range.low + range.high) / 2));
}

ModemProfileWriter::Result ModemProfileWriter::writeModemProfile(int number) {
    m_profile.setParams(m_search.entry(number));
    const int port = m_search.entry(number).port;
    m_modem.channel().setComNumber(port);

    Q_EMIT busyChanged(true);
    QCoreApplication::processEvents();

    if (m_modem.portOpen())
        m_modem.closeModemPort();
    SerialChannel& channel = m_modem.channel();
    channel.setBaud(m_modem.settings().baud);
    channel.setFlowControl(m_modem.settings().flow);
    channel.setDevice(PortMap::devicePath(&m_config, port));
    if (channel.device().isEmpty() || !channel.openChannel()) {
        m_logger.add(PortMap::deviceLine(port, channel.device()) + QStringLiteral(" and cannot be opened: ") +
                     channel.errorString());
        m_prompter.message(QStringLiteral("No valid com port specified for this modem"), Prompter::Icon::Error);
        Q_EMIT busyChanged(false);
        return Result::PortUnusable;
    }
    if (!m_modem.portOpen()) {
        Q_EMIT busyChanged(false);
        return Result::PortNotOpen;
    }

    Result result = Result::Written;
    try {
        result = writeSteps(number);
    } catch (const ConfigWriteError& e) {
        m_prompter.message(e.text(), Prompter::Icon::Error);
        result = Result::WriteFailed;
    }
    Q_EMIT gaugeShown(false);
    Q_EMIT busyChanged(false);
    m_modem.closeModemPort();
    return result;
}

ModemProfileWriter::Result ModemProfileWriter::writeSteps(int number) {
    m_modem.exchange().sendCommand(QStringLiteral("atE0"), QStringLiteral("echo off.."), QStringLiteral("ok"));
    if (m_modem.exchange().sendCommand(QStringLiteral("at"), QStringLiteral("at"), QStringLiteral("ok")) !=
        AtResult::Ok) {
        m_prompter.message(QStringLiteral("There is no voice modem at this com port"), Prompter::Icon::Error);
        return Result::NoModem;
    }

    // Reset and answer are still empty here: the command table is filled only once voice mode is known.
    const ModemParams& identity = m_profile.params();
    writeModem(QStringLiteral("DriverDate"), identity.DriverDate);
    writeModem(QStringLiteral("Manufacturer"), identity.Manufacturer);
    writeModem(QStringLiteral("DeviceDesc"), identity.DeviceDesc);
    writeModem(QStringLiteral("Model"), identity.Model);
    writeModem(QStringLiteral("Reset"), identity.Reset);
    writeModem(QStringLiteral("answer"), identity.answer);
    writeModem(QStringLiteral("monitor"), identity.monitor);
    m_config.writeInteger(kModem, QStringLiteral("port"), identity.port);

    m_profile.setVoiceFeatures(false);
    const QString voiceMode = QStringLiteral("at+fclass=8");
    if (m_modem.exchange().sendCommand(voiceMode, voiceMode, QStringLiteral("ok")) == AtResult::Ok) {
        m_step = 0;
        Q_EMIT gaugeChanged(0);
        Q_EMIT gaugeShown(true);
        m_profile.setVoiceFeatures(true);
        m_config.writeBool(kParams, QStringLiteral("Voicefeatures"), true);
        fillCommandTable(number);
        m_profile.setParams(m_search.entry(number));
        const ModemParams p = m_profile.params();
        writeModem(QStringLiteral("VoiceMode"), p.VoiceMode);

        using Test = std::pair<const char*, QString>;
        for (const auto& [key, command] :
             {Test{"InitVoice", p.InitVoice}, Test{"DisCallerId", p.DisCallerId}, Test{"ForCallerId", p.ForCallerId},
              Test{"UnfCallerId", p.UnfCallerId}, Test{"Distinctive", p.Distinctive}}) {
            testCommand(QLatin1String(key), command);
            gaugeStep();
        }

        m_logger.add(QStringLiteral("now vsm"));
        if (m_parse.probeCompressions(false) && chooseCurrentCompression(m_config, m_parse.compressionsPath())) {
            const QString cpn = QDir(m_workingFolder).filePath(kModemCompressionFile);
            QFile::remove(cpn);
            try {
                matchCurrentCompression(m_current, m_config, m_parse.compressionsPath(), m_prompter, cpn);
            } catch (const FileOpenError& e) {
                m_prompter.message(e.text(), Prompter::Icon::Error);
            }
        }
        gaugeStep();

        m_logger.add(QStringLiteral("now vls"));
        m_parse.probeLineSelection();
        gaugeStep();

        writeModem(QStringLiteral("SilenceTimer"), kNone);
        writeModem(QStringLiteral("ToneGeneration"), p.ToneGeneration);
        writeModem(QStringLiteral("VoiceProcess"), p.VoiceProcess);
        writeModem(QStringLiteral("VoiceTrx"), p.VoiceTrx);
        writeModem(QStringLiteral("VoiceRec"), p.VoiceRec);

        probeGain("at+VGR=?", "vgrMin", "vgrMax", "RecGain", "at+vgr=");
        gaugeStep();
        probeGain("at+VGT=?", "vgtMin", "vgtMax", "SpeakerVol", "at+vgt=");
        gaugeStep();

        for (const auto& [key, command] : {Test{"SpeakerOn", p.SpeakerOn}, Test{"SpeakerOff", p.SpeakerOff},
                                           Test{"MicGain", p.MicGain}, Test{"SpeakerGain", p.SpeakerGain}}) {
            testCommand(QLatin1String(key), command);
            gaugeStep();
        }

        m_config.writeString(kParams, QStringLiteral("UseLine"),
                             m_config.readString(kModem, QStringLiteral("LineSel_T"), QString()));
        m_config.writeString(kParams, QStringLiteral("UseLineRes"),
                             m_config.readString(kModem, QStringLiteral("LineSel_T#"), QString()));
        m_config.writeInteger(kParams, QStringLiteral("Timeout"), 4);
        Q_EMIT gaugeShown(false);
    }

    if (!m_profile.voiceFeatures()) {
        for (const char* key :
             {"VoiceMode", "InitVoice",  "DisCallerId", "ForCallerId",  "UnfCallerId",    "Distinctive",  "SpeakerVol",
              "LineSel_T", "LineSel_T#", "BeepTone",    "SilenceTimer", "ToneGeneration", "VoiceProcess", "VoiceTrx",
              "VoiceRec",  "RecGain",    "SpeakerOn",   "SpeakerOff",   "MicGain",        "SpeakerGain"})
            writeModem(QLatin1String(key), kNone);
        // Not sent either way, but a profile of a modem without voice keeps nothing of the one before.
        writeModem(QStringLiteral("VoiceCompression"), kNone);
        m_config.writeString(kParams, QStringLiteral("UseLine"), kNone);
        m_config.writeString(kParams, QStringLiteral("UseLineRes"), kNone);
        m_config.writeBool(kParams, QStringLiteral("Voicefeatures"), false);
        m_config.writeInteger(kParams, QStringLiteral("Timeout"), 4);
    }
    return Result::Written;
}
