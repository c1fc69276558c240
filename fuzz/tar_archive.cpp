// A backup archive handed to orlamo-cli restore: any bytes give entries or one refusal, and every
// path accepted is relative and stays inside the folder it is restored into.
#include "FuzzSupport.h"
#include "library/BackupError.h"
#include "library/TarReader.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes = fuzzBytes(data, size);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    TarReader tar(in);
    try {
        while (const std::optional<TarEntry> entry = tar.next()) {
            FUZZ_CHECK(!entry->path.isEmpty());
            FUZZ_CHECK(!entry->path.startsWith(u'/'));
            FUZZ_CHECK(!entry->path.split(u'/').contains(QStringLiteral("..")));
            FUZZ_CHECK(entry->size >= 0 && entry->size <= qint64(size));
            FUZZ_CHECK(TarReader::safePath(entry->path) == entry->path);
            if (entry->folder)
                continue;
            QBuffer out;
            out.open(QIODevice::WriteOnly);
            tar.readData(out);
            FUZZ_CHECK(out.size() == entry->size);
        }
    } catch (const BackupError& error) {
        FUZZ_CHECK(!error.message().isEmpty());
    }
    return 0;
}
