// Compressions.d as a probe, another program or a crash left it: the records are read back to back,
// the automatic choice picks one of them, the current compression loads the chosen index, and the
// codec matcher finds its format or says it found none. Every record reads back from its own bytes.
#include "FuzzSupport.h"
#include "audio/AudioErrors.h"
#include "audio/MatchModemCompression.h"
#include "base/Config.h"
#include "modemsetup/CompressionFile.h"
#include "modemsetup/CurrentCompression.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzApplication();
    const QString path = fuzzPath(QStringLiteral("Compressions.d"));
    fuzzWrite(path, QByteArrayView(data, static_cast<qsizetype>(size)));
    const CompressionFile file(path);
    const QList<CompressionRecord> records = file.readAll();
    FUZZ_CHECK(records.size() == std::min(file.recordCount(), CompressionFile::kMaxRecords));
    for (const CompressionRecord& record : records)
        FUZZ_CHECK(CompressionRecord::fromBytes(record.toBytes()) == record);

    Config config(fuzzPath(QStringLiteral("tvk.ini")));
    const int chosen = chooseCompressionIndex(records);
    FUZZ_CHECK(records.isEmpty() ? chosen == -1 : (chosen >= 0 && chosen < records.size()));
    FUZZ_CHECK(chooseCurrentCompression(config, path) == !records.isEmpty());

    CurrentCompression current;
    QuietPrompter prompter;
    try {
        const bool matched =
            matchCurrentCompression(current, config, path, prompter, fuzzPath(QStringLiteral("ModemCompression.cpn")));
        FUZZ_CHECK(matched || prompter.messages == 1);
    } catch (const FileOpenError&) {
        fuzzFail("the format file could not be written", __FILE__, __LINE__);
    }
    if (!records.isEmpty())
        FUZZ_CHECK(current.record() == records[chosen]);
    return 0;
}
