// Loading the current compression and choosing one after a probe.
#include "modemsetup/CurrentCompression.h"

#include "audio/MatchModemCompression.h"
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "modemsetup/CompressionFile.h"

#include <array>
#include <utility>

CurrentCompression::CurrentCompression(QObject* parent) : QObject(parent) {}

void CurrentCompression::set(const CompressionRecord& record) {
    if (record == m_record)
        return;
    m_record = record;
    Q_EMIT changed();
}

bool CurrentCompression::load(const Config& config, const QString& compressionsPath) {
    const int index = config.read(ConfigKeys::kCompression);
    const auto record = CompressionFile(compressionsPath).readRecord(index);
    if (!record)
        return false;
    set(*record);
    return true;
}

ModemCompressionFields CurrentCompression::matchFields() const {
    return ModemCompressionFields{m_record.Description, m_record.bps, m_record.vsr};
}

bool matchCurrentCompression(CurrentCompression& current, const Config& config, const QString& compressionsPath,
                             Prompter& prompter, const QString& cpnPath) {
    current.load(config, compressionsPath);
    return matchModemCompression(current.matchFields(), prompter, cpnPath);
}

int chooseCompressionIndex(const QList<CompressionRecord>& records) {
    if (records.isEmpty())
        return -1;
    // 8-bit prefers unsigned over signed, 16-bit signed over unsigned.
    static const std::array<std::pair<const char*, const char*>, 6> rules{{
        {"UNSIGNED PCM", "8"},
        {"SIGNED PCM", "8"},
        {"ULAW", "8"},
        {"ALAW", "8"},
        {"SIGNED PCM", "16"},
        {"UNSIGNED PCM", "16"},
    }};
    for (const auto& [description, bps] : rules) {
        for (int i = 0; i < records.size(); ++i) {
            if (records[i].Description == QLatin1String(description) && records[i].bps == QLatin1String(bps))
                return i;
        }
    }
    return 0;
}

bool chooseCurrentCompression(Config& config, const QString& compressionsPath) {
    const QList<CompressionRecord> records = CompressionFile(compressionsPath).readAll();
    const int index = chooseCompressionIndex(records);
    if (index < 0)
        return false;
    config.writeString(ConfigKeys::kVoiceCompression, records[index].VsmCommand);
    config.writeInteger(ConfigKeys::kCompression, index);
    return true;
}
