// The compression and line selection probes and the records they store.
#include "modemsetup/VoiceCapabilityProbe.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "base/Prompter.h"
#include "modemsetup/CompressionFile.h"
#include "modemsetup/CompressionLineParser.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/QueryModemBox.h"

#include <QStringList>

namespace {} // namespace

VoiceCapabilityProbe::VoiceCapabilityProbe(Config& config, Logger& logger, Prompter& prompter, ModemProfile& profile,
                                           QueryModemBox& box, QString workingFolder, QObject* parent)
    : QObject(parent), m_config(config), m_logger(logger), m_prompter(prompter), m_profile(profile), m_box(box),
      m_workingFolder(std::move(workingFolder)) {}

QString VoiceCapabilityProbe::compressionsPath() const {
    return CompressionFile::pathIn(m_workingFolder);
}

bool VoiceCapabilityProbe::classifyLine(const QString& line, CompressionRecord& record, QChar& separator) {
    return CompressionLineParser::classifyLine(line, record, separator);
}

QString VoiceCapabilityProbe::buildSelectionCommand(const CompressionRecord& record, QChar separator) {
    return CompressionLineParser::buildSelectionCommand(record, separator);
}

void VoiceCapabilityProbe::parseGainRange(const QString& reply, GainRange& range) {
    ::parseGainRange(reply, range);
}

bool VoiceCapabilityProbe::probeCompressions(bool developerMode) {
    if (!developerMode) {
        m_box.clear();
        QString reply;
        // The result code is not examined: "error" or "time out" in the box are simply not recognised.
        if (m_query)
            m_query(QStringLiteral("at+vsm=?"), reply);
        m_box.addText(reply);
    }
    return parseCompressionList(developerMode);
}

bool VoiceCapabilityProbe::parseCompressionList(bool developerMode) {
    m_logger.add(QStringLiteral("at+vsm=?"));
    CompressionFileWriter writer;
    if (!writer.recreate(compressionsPath())) {
        m_prompter.message(QStringLiteral("Unable to write to %1").arg(compressionsPath()), Prompter::Icon::Error);
        return false;
    }
    if (m_config.sectionExists(ConfigKeys::kModemCompressionsSection))
        m_config.eraseSection(ConfigKeys::kModemCompressionsSection);

    int index = -1;
    int recognised = 0;
    bool written = true;
    for (const QString& raw : m_box.lines()) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        CompressionRecord record;
        QChar separator;
        if (!classifyLine(line, record, separator))
            continue;
        // At most 101 records are ever read back; a longer list is not stored beyond that.
        if (index + 1 >= CompressionFile::kMaxRecords)
            break;
        record.VsmCommand = buildSelectionCommand(record, separator).left(CompressionRecord::kFieldChars);
        ++index;
        written = writer.write(index, record) && written;
        const QStringList values{record.Description, record.cml, record.bps, record.tm,
                                 record.vsr,         record.scs, record.sel};
        m_config.writeString(ConfigKeys::kModemCompressionsSection, QString::number(index),
                             values.join(QLatin1Char(',')));
        if (developerMode)
            m_prompter.message(developerText(record));
        ++recognised;
    }
    writer.close();
    m_config.flush();
    if (!written) {
        m_prompter.message(QStringLiteral("Unable to write to %1").arg(compressionsPath()), Prompter::Icon::Error);
        return false;
    }
    if (recognised > 0)
        return true;

    m_prompter.message(QStringLiteral("None modem compression can be recognized"));
    if (!developerMode) {
        m_profile.setVoiceCompression(QStringLiteral("at+vsm=none"));
        m_config.writeString(ConfigKeys::kVoiceCompression, QStringLiteral("at+vsm=none"));
        m_config.writeInteger(ConfigKeys::kSamplingFreq, 0);
        m_config.writeString(ConfigKeys::kCompression, QString());
    }
    return false;
}

QString VoiceCapabilityProbe::developerText(const CompressionRecord& r) const {
    const QChar cr(13);
    return QStringLiteral("cml : ") + r.cml + cr + QStringLiteral("cmid : ") + r.cmid + cr + QStringLiteral("bps : ") +
           r.bps + cr + QStringLiteral("tm : ") + r.tm + cr + QStringLiteral("vsr : ") + r.vsr + cr +
           QStringLiteral("scs : ") + r.scs + cr + QStringLiteral("sel : ") + r.sel + cr +
           QStringLiteral("Description : ") + r.Description + cr + QStringLiteral("VSM command : ") + r.VsmCommand + cr;
}

bool VoiceCapabilityProbe::probeLineSelection() {
    QString reply;
    if (m_query)
        m_query(QStringLiteral("at+vls=?"), reply);
    m_box.clear();
    m_box.addText(reply);
    m_config.writeString(ConfigKeys::kLineSelection, m_profile.params().LineSel_T);
    m_config.writeString(ConfigKeys::kLineSelectionReply, QStringLiteral("ok"));
    return true;
}
