// What the web page's server reads from a request itself: the Range header against a resource size,
// the cookies, and a recording id. A range it answers lies inside the resource; nothing else is kept.
#include "FuzzSupport.h"
#include "web/ByteRange.h"
#include "web/HttpMessage.h"
#include "web/WebCatalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Line 1: the Range header; line 2: the Cookie header; the rest: an id.
    const QList<QByteArray> parts = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\n');
    const QByteArray range = parts.value(0);
    for (const qint64 resource : {qint64(0), qint64(1), qint64(44), qint64(115'200'044), qint64(1) << 40}) {
        bool unsatisfiable = false;
        const std::optional<ByteRange> part = ByteRange::parse(range, resource, &unsatisfiable);
        if (part) {
            FUZZ_CHECK(!unsatisfiable);
            FUZZ_CHECK(part->first >= 0 && part->first <= part->last && part->last < resource);
        }
    }
    HttpRequest request;
    request.headers.append({"Cookie", parts.value(1)});
    const QByteArray session = request.cookie("orlamo_session");
    FUZZ_CHECK(!session.contains(';'));
    const QString id = QString::fromUtf8(parts.mid(2).join('\n'));
    if (WebCatalogue::plausibleId(id))
        FUZZ_CHECK(!id.contains(u'/') && !id.contains(u'.') && id.size() <= 20);
    return 0;
}
