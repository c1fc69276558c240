// The gain range reply to "at+vgr=?" / "at+vgt=?": any text leaves the range as it was (no "-"),
// marks it unusable (-1, -1), or gives a low value below the high one.
#include "FuzzSupport.h"
#include "modemsetup/GainRange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString reply = fuzzLatin1(QByteArrayView(data, static_cast<qsizetype>(size)));
    GainRange range{-7, -7};
    parseGainRange(reply, range);
    if (range == GainRange{-7, -7})
        return 0;
    FUZZ_CHECK(range == (GainRange{-1, -1}) || range.low < range.high);
    FUZZ_CHECK(reply.contains(u'-'));
    return 0;
}
