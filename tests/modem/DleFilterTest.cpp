// The DLE shielding of the voice stream is removed and the event codes are taken out of the audio.
#include "modem/DleFilter.h"

#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (const int v : values)
        out.append(static_cast<char>(v));
    return out;
}

} // namespace

TEST(DleFilter, DoubledDleIsOneDataByteAndEventsLeaveTheAudio) {
    DleFilter filter;
    QByteArray audio;
    std::vector<char> events;
    filter.process(bytes({1, 0x10, 0x10, 2, 0x10, 'b', 3, 0x10, 0x1A, 4, 0x10, 0x03}), audio, events);
    EXPECT_EQ(audio, bytes({1, 0x10, 2, 3, 0x10, 0x10, 4}));
    EXPECT_EQ(events, (std::vector<char>{'b', 0x03}));
    EXPECT_FALSE(filter.pendingDle());
}

TEST(DleFilter, ShieldingSplitAcrossChunksIsJoined) {
    DleFilter filter;
    QByteArray audio;
    std::vector<char> events;
    // Every split point of the same stream gives the same audio and events.
    const QByteArray stream = bytes({0x80, 0x10, 0x10, 0x10, 's', 0x10, 0x10, 0x10, 0x10, 0x7f, 0x10, 'd', 0x10});
    QByteArray whole;
    std::vector<char> wholeEvents;
    DleFilter{}.process(stream, whole, wholeEvents);
    EXPECT_EQ(whole, bytes({0x80, 0x10, 0x10, 0x10, 0x7f}));
    EXPECT_EQ(wholeEvents, (std::vector<char>{'s', 'd'}));
    for (qsizetype split = 0; split <= stream.size(); ++split) {
        DleFilter f;
        QByteArray a;
        std::vector<char> e;
        f.process(QByteArrayView(stream).first(split), a, e);
        f.process(QByteArrayView(stream).sliced(split), a, e);
        EXPECT_EQ(a, whole) << "split at " << split;
        EXPECT_EQ(e, wholeEvents) << "split at " << split;
        EXPECT_TRUE(f.pendingDle()); // the stream ends on a lone DLE
    }
    filter.process(bytes({0x10}), audio, events);
    filter.reset();
    filter.process(bytes({0x10, 0x10}), audio, events);
    EXPECT_EQ(audio, bytes({0x10}));
    EXPECT_TRUE(events.empty());
}

TEST(DleFilter, EventTextsAndCallEnds) {
    EXPECT_EQ(DleFilter::describe('b'), QStringLiteral("busy tone"));
    EXPECT_EQ(DleFilter::describe('d'), QStringLiteral("dial tone"));
    EXPECT_EQ(DleFilter::describe(0x03), QStringLiteral("end of stream"));
    EXPECT_EQ(DleFilter::describe('Z'), QStringLiteral("code 'Z'"));
    EXPECT_EQ(DleFilter::describe(static_cast<char>(0xff)), QStringLiteral("code 0xff"));
    EXPECT_TRUE(DleFilter::endsCall('b'));
    EXPECT_TRUE(DleFilter::endsCall('d'));
    EXPECT_FALSE(DleFilter::endsCall('q'));
    EXPECT_FALSE(DleFilter::endsCall('s'));
}

TEST(DleFilter, HandsetAndDigitCodes) {
    EXPECT_EQ(DleFilter::describe('H'), QStringLiteral("handset lifted"));
    EXPECT_EQ(DleFilter::describe('p'), QStringLiteral("handset put down"));
    EXPECT_EQ(DleFilter::describe('#'), QStringLiteral("DTMF digit #"));
    // Every code is exactly one of: off hook, on hook, digit, or none of them.
    QString offHook, onHook, digits;
    for (int c = 0; c < 256; ++c) {
        const char code = static_cast<char>(c);
        const int kinds =
            int(DleFilter::offHook(code)) + int(DleFilter::onHook(code)) + int(DleFilter::dtmfDigit(code));
        ASSERT_LE(kinds, 1) << c;
        if (DleFilter::offHook(code))
            offHook += QLatin1Char(code);
        if (DleFilter::onHook(code))
            onHook += QLatin1Char(code);
        if (DleFilter::dtmfDigit(code))
            digits += QLatin1Char(code);
    }
    EXPECT_EQ(offHook, QStringLiteral("HP"));
    EXPECT_EQ(onHook, QStringLiteral("hp"));
    EXPECT_EQ(digits, QStringLiteral("#*0123456789"));
}
