// The reply to "at+vsm=?": any modem text, split into the Query Modem box's lines, each classified as
// the probe does. A recognised line gives one of the four families, fields of at most 30 characters,
// a selection command that starts "at+vsm=", and a record that reads back from its 279 bytes unchanged.
#include "FuzzSupport.h"
#include "modemsetup/CompressionLineParser.h"
#include "modemsetup/QueryModemBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QueryModemBox box;
    box.addText(fuzzLatin1(QByteArrayView(data, static_cast<qsizetype>(size))));
    static const QStringList families{QStringLiteral("UNSIGNED PCM"), QStringLiteral("SIGNED PCM"),
                                      QStringLiteral("ULAW"), QStringLiteral("ALAW")};
    for (const QString& raw : box.lines()) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        CompressionRecord record;
        QChar separator;
        if (!CompressionLineParser::classifyLine(line, record, separator)) {
            FUZZ_CHECK(record == CompressionRecord());
            continue;
        }
        FUZZ_CHECK(families.contains(record.Description));
        FUZZ_CHECK(separator == u',' || separator == u';');
        FUZZ_CHECK(!record.bps.isEmpty());
        record.VsmCommand =
            CompressionLineParser::buildSelectionCommand(record, separator).left(CompressionRecord::kFieldChars);
        FUZZ_CHECK(record.VsmCommand.startsWith(QStringLiteral("at+vsm=")));
        for (int i = 0; i < CompressionRecord::kFieldCount; ++i)
            FUZZ_CHECK(record.fields(i)->size() <= CompressionRecord::kFieldChars);
        const QByteArray bytes = record.toBytes();
        FUZZ_CHECK(bytes.size() == CompressionRecord::kRecordBytes);
        FUZZ_CHECK(CompressionRecord::fromBytes(bytes) == record);
    }
    return 0;
}
