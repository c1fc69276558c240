// Voice reception: pacing, DLE shielding, DLE events, and the ways a stream ends.
#include "SimFixture.h"

#include <chrono>
#include <fstream>
#include <unistd.h>

using Stream = SimFixture;

namespace {

void writeWav(const std::string& path, const std::vector<short>& samples, int rate) {
    auto le = [](std::ofstream& f, unsigned v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            f.put(static_cast<char>((v >> (8 * i)) & 0xff));
    };
    std::ofstream f(path, std::ios::binary);
    const unsigned dataBytes = static_cast<unsigned>(samples.size() * 2);
    f << "RIFF";
    le(f, 36 + dataBytes, 4);
    f << "WAVEfmt ";
    le(f, 16, 4);
    le(f, 1, 2);
    le(f, 1, 2);
    le(f, static_cast<unsigned>(rate), 4);
    le(f, static_cast<unsigned>(rate * 2), 4);
    le(f, 2, 2);
    le(f, 16, 2);
    f << "data";
    le(f, dataBytes, 4);
    for (short s : samples)
        le(f, static_cast<unsigned short>(s), 2);
}

std::vector<int> samples16(const std::string& data) {
    std::vector<int> out;
    for (size_t i = 0; i + 1 < data.size(); i += 2)
        out.push_back(
            static_cast<short>(static_cast<unsigned char>(data[i]) | static_cast<unsigned char>(data[i + 1]) << 8));
    return out;
}

// Reads the stream until the event `code` has come; returns all events seen.
std::string eventsUntil(SerialClient& port, char code, int timeoutMs = 10000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string raw;
    std::string events;
    while (events.find(code) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        raw += port.readBytes(raw.size() + 1, 1000).substr(0);
        events.clear();
        unshield(raw, &events);
    }
    return events;
}

} // namespace

TEST_F(Stream, ByteRateIsTheSampleRateInRealTime) {
    startModem("cx93001", 1);
    voiceMode("1,8000");
    ASSERT_EQ(port.command("AT+VRX"), "\r\nCONNECT\r\n");
    const auto start = std::chrono::steady_clock::now();
    const std::string got = port.readBytes(16000, 20000);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(got.size() >= 16000, true);
    // 8-bit samples at 8000 per second: two seconds of the idle line.
    EXPECT_NEAR(got.size() / seconds, 8000.0, 400.0);
    EXPECT_EQ(got.substr(0, 100), std::string(100, '\x80'));
}

TEST_F(Stream, DataBytesEqualToDleAreDoubled) {
    // A steady level whose unsigned 8-bit sample is 0x10.
    writeWav(file("dle.wav"), std::vector<short>(8000, -28672), 8000);
    startModem("cx93001", 20);
    voiceMode("1,8000");
    sim->command("call rings=0 audio=" + file("dle.wav") + " talk=10");
    ASSERT_EQ(port.command("AT+VRX"), "\r\nCONNECT\r\n");
    std::string raw = port.readBytes(4000);
    raw.resize(raw.size() & ~size_t(1));
    ASSERT_GE(raw.size(), 4000u);
    EXPECT_EQ(raw, std::string(raw.size(), '\x10'));
    std::string events;
    EXPECT_EQ(unshield(raw, &events), std::string(raw.size() / 2, '\x10'));
    EXPECT_EQ(events, "");
}

TEST_F(Stream, LineRunsOnBetweenStreamsAndDleBangEndsOne) {
    // A ramp through every 16-bit value: each sample tells where on the line it was taken.
    std::vector<short> ramp(60000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<short>(static_cast<int>(i) - 30000);
    writeWav(file("ramp.wav"), ramp, 8000);
    startModem("usr5637", 2);
    voiceMode("129,8000");
    sim->command("call rings=0 audio=" + file("ramp.wav") + " talk=30");

    ASSERT_EQ(port.command("AT+VRX"), "\r\nCONNECT\r\n");
    const std::string first = port.readBytes(8000);
    port.write("\x10!");
    const std::string tail = port.readUntil("\x10\x03\r\nOK\r\n");
    ASSERT_GE(tail.size(), 6u);
    EXPECT_EQ(tail.substr(tail.size() - 6), "\r\nOK\r\n");
    // After the stream the modem takes commands again.
    EXPECT_EQ(port.command("AT"), "\r\nOK\r\n");

    const std::vector<int> a = samples16(unshield(first + tail.substr(0, tail.size() - 8)));
    ASSERT_GT(a.size(), 3000u);
    for (size_t i = 1; i < a.size(); ++i)
        ASSERT_LE(std::abs(a[i] - a[i - 1] - 1), 1) << "sample " << i << ": " << a[i - 1] << " then " << a[i];

    ASSERT_EQ(port.command("AT+VRX"), "\r\nCONNECT\r\n");
    const std::vector<int> b = samples16(unshield(port.readBytes(200)));
    ASSERT_FALSE(b.empty());
    // The second stream starts where the line is now, not where the first one stopped.
    EXPECT_GT(b.front(), a.back());
}

TEST_F(Stream, ToneAndSilenceEvents) {
    startModem("cx93001", 20);
    voiceMode("1,8000");
    sim->command("call rings=0 audio=speech talk=1 end=busy endfor=3");
    ASSERT_EQ(port.command("AT+VRX"), "\r\nCONNECT\r\n");
    EXPECT_NE(eventsUntil(port, 'b').find('b'), std::string::npos);
    port.write("\x10!");
    port.readUntil("\x10\x03\r\nOK\r\n");

    sim->command("call rings=0 audio=silence talk=0 end=dialtone endfor=3");
    ASSERT_EQ(port.command("AT+VRX"), "\r\nCONNECT\r\n");
    EXPECT_NE(eventsUntil(port, 'd').find('d'), std::string::npos);
    port.write("\x10!");
    port.readUntil("\x10\x03\r\nOK\r\n");

    // Quiet after a second without sound, silence after the +VSD time.
    ASSERT_EQ(port.command("AT+VSD=128,20"), "\r\nOK\r\n");
    sim->command("call rings=0 audio=tone:1000 talk=0.5");
    ASSERT_EQ(port.command("AT+VRX"), "\r\nCONNECT\r\n");
    EXPECT_EQ(eventsUntil(port, 's'), "qs");
}

TEST_F(Stream, ClosingThePortEndsTheStream) {
    startModem("cx93001", 20);
    voiceMode("1,8000");
    ASSERT_EQ(port.command("AT+VRX"), "\r\nCONNECT\r\n");
    ASSERT_GE(port.readBytes(1000).size(), 1000u);
    port.close();
    ASSERT_TRUE(port.open(link()));
    // Command state again, with nothing of the stream left in the line.
    EXPECT_EQ(port.command("AT"), "\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+FCLASS?"), "\r\n8\r\n\r\nOK\r\n");
}

TEST_F(Stream, UnplugInTheMiddleOfAStream) {
    startModem("cx93001", 20);
    voiceMode("1,8000");
    sim->command("fault unplug=3000");
    ASSERT_EQ(port.command("AT+VRX"), "\r\nCONNECT\r\n");
    // What was still in the line when the device vanished is lost with it.
    const std::string got = port.readBytes(3000);
    EXPECT_GT(got.size(), 0u);
    EXPECT_LE(got.size(), 3000u);
    EXPECT_EQ(got, std::string(got.size(), '\x80'));
    EXPECT_TRUE(port.waitForHangup());
    port.close();
    EXPECT_FALSE(port.open(link())); // the device is gone
    sim->command("plug");
    ASSERT_TRUE(port.open(link()));
    // Plugged in again, the modem starts afresh: echo on, data mode.
    EXPECT_EQ(port.command("AT"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+FCLASS?"), "AT+FCLASS?\r\r\n0\r\n\r\nOK\r\n");
}

TEST_F(Stream, NoConnectFault) {
    startModem("cx93001", 20);
    voiceMode("1,8000");
    sim->command("fault noconnect");
    EXPECT_EQ(port.command("AT+VRX", 300), "");
    EXPECT_EQ(port.command("AT"), "\r\nOK\r\n");
}
