// The DLE filter of the voice stream: any chunking of the same bytes gives the same sound and the same
// events as one chunk; the sound never holds more bytes than came, and a stream without DLE passes whole.
#include "FuzzSupport.h"
#include "modem/DleFilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte seeds the chunk lengths, the rest is the stream.
    unsigned seed = data[0];
    const QByteArrayView stream(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    DleFilter whole;
    QByteArray audio;
    std::vector<char> events;
    whole.process(stream, audio, events);

    DleFilter pieces;
    QByteArray chunkedAudio;
    std::vector<char> chunkedEvents;
    for (qsizetype at = 0; at < stream.size();) {
        seed = seed * 1103515245u + 12345u;
        const qsizetype length = std::min<qsizetype>(stream.size() - at, (seed >> 16) % 9);
        pieces.process(stream.sliced(at, length), chunkedAudio, chunkedEvents);
        at += length;
    }
    FUZZ_CHECK(chunkedAudio == audio);
    FUZZ_CHECK(chunkedEvents == events);
    FUZZ_CHECK(pieces.pendingDle() == whole.pendingDle());
    FUZZ_CHECK(audio.size() <= stream.size() + qsizetype(events.size()) + 1);
    if (!stream.contains(DleFilter::kDle))
        FUZZ_CHECK(audio == stream && events.empty());
    for (const char code : events)
        FUZZ_CHECK(!DleFilter::describe(code).isEmpty());
    return 0;
}
