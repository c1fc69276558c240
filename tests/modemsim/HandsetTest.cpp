// The local handset: line-current events of modems that report it, pickup and hang-up, calls the user
// makes with their dialled digits, and a line whose sound follows the handset.
#include "SimFixture.h"

#include <chrono>
#include <fstream>

namespace {

struct Handset : SimFixture {
    /// A personality file over cx93001 with `directives`, started at `speed`.
    void startWith(const std::string& directives, double speed = 20) {
        std::ofstream(file("handset.txt")) << directives;
        startModem(file("handset.txt"), speed);
    }
    /// Reads until `count` events have come (or the time-out); returns the events and keeps the text.
    std::string events(size_t count, std::string* text = nullptr, int timeoutMs = 10000) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::string got;
        while (std::chrono::steady_clock::now() < deadline) {
            raw += port.readBytes(1, 200);
            got.clear();
            const std::string data = unshield(raw, &got);
            if (text)
                *text = data;
            if (got.size() >= count)
                break;
        }
        return got;
    }
    std::string raw;
};

} // namespace

TEST_F(Handset, AnsweredCallReportsLiftAndHangUpInCommandState) {
    startWith("handset H\n");
    port.command("ATE0");
    sim->command("call rings=2 interval=1000 pickup=0.2 audio=tone:1000 talk=1 end=hangup");
    std::string text;
    EXPECT_EQ(events(2, &text), "Hh");
    // Both rings come before the handset is lifted; nothing rings after it.
    EXPECT_EQ(text, "\r\nRING\r\n\r\nRING\r\n");
    EXPECT_EQ(port.readFor(300), "");
}

TEST_F(Handset, ConexantLettersAndTheHandsetInTheVoiceStream) {
    startWith("base cx93001\nhandset P\n");
    voiceMode("1,8000");
    // The stream runs before the call is answered: silence, then the caller's tone once the handset is up.
    ASSERT_EQ(port.command("AT+VRX"), "\r\nCONNECT\r\n");
    sim->command("call rings=1 interval=1000 pickup=0.5 audio=tone:1000 talk=1 end=hangup");
    std::string sound;
    ASSERT_EQ(events(2, &sound), "Pp");
    const size_t lifted = raw.find("\x10P");
    const size_t down = raw.find("\x10p");
    std::string before = unshield(raw.substr(0, lifted));
    before.erase(0, before.find("RING\r\n") + 6); // the ring came while the stream ran
    const std::string during = unshield(raw.substr(lifted + 2, down - lifted - 2));
    EXPECT_EQ(before.find_first_not_of('\x80'), std::string::npos) << "sound before the handset was lifted";
    ASSERT_NEAR(static_cast<double>(during.size()), 8000.0, 200.0); // one second of talk between the events
    EXPECT_NE(during.substr(0, 400).find_first_not_of('\x80'), std::string::npos);
    // After the hang-up the line is silent.
    const std::string after = unshield(port.readBytes(2000));
    EXPECT_EQ(after.find_first_not_of('\x80'), std::string::npos);
}

TEST_F(Handset, PickupAndHangupCommands) {
    startWith("handset H\n");
    port.command("ATE0");
    sim->command("call rings=5 interval=1000 audio=tone:1000 talk=30");
    EXPECT_EQ(port.readUntil("RING\r\n"), "\r\nRING\r\n");
    sim->command("pickup");
    EXPECT_EQ(port.readUntil("\x10H"), "\x10H");
    // Answered: the rings stop.
    EXPECT_EQ(port.readFor(600), "");
    sim->command("pickup"); // already lifted
    sim->command("hangup");
    EXPECT_EQ(port.readUntil("\x10h"), "\x10h");
    sim->command("hangup");
    EXPECT_EQ(port.readFor(200), "");
}

TEST_F(Handset, CallTheUserMakesReportsLiftDigitsAndHangUp) {
    startWith("handset P\ndtmf\n");
    port.command("ATE0");
    sim->command("dial number=555*12# audio=tone:1000 talk=1");
    EXPECT_EQ(events(9), "P555*12#p");

    // In a voice stream: dial tone, the digits, the talk.
    raw.clear();
    ASSERT_EQ(port.command("AT+FCLASS=8"), "\r\nOK\r\n");
    ASSERT_EQ(port.command("AT+VRX"), "\r\nCONNECT\r\n");
    sim->command("dial number=42 audio=tone:1000 talk=1");
    EXPECT_EQ(events(5), "Pd42p");
}

TEST_F(Handset, ModemsWithoutTheDirectivesReportNothing) {
    startModem("cx93001", 20);
    port.command("ATE0");
    sim->command("dial number=123 audio=tone:1000 talk=0.5");
    EXPECT_EQ(port.readFor(800), "");
    sim->command("call rings=1 interval=500 pickup=0.1 audio=tone:1000 talk=0.5 end=hangup");
    EXPECT_EQ(port.readUntil("RING\r\n"), "\r\nRING\r\n");
    EXPECT_EQ(port.readFor(800), "");
}

TEST_F(Handset, VoiceOnlyModemsReportInVoiceModeOnly) {
    startWith("handset H voice\ndtmf voice\n");
    port.command("ATE0");
    sim->command("dial number=1 audio=silence talk=0.2");
    EXPECT_EQ(port.readFor(800), "");
    ASSERT_EQ(port.command("AT+FCLASS=8"), "\r\nOK\r\n");
    sim->command("dial number=1 audio=silence talk=0.2");
    EXPECT_EQ(events(3), "H1h");
}

TEST_F(Handset, BadDirectivesAndControlLinesAreRefused) {
    for (const char* bad : {"handset X\n", "handset H loud\n", "handset\n", "dtmf always\n"}) {
        std::ofstream(file("bad.txt")) << bad;
        std::string error;
        EXPECT_FALSE(modemsim::loadPersonalityFile(file("bad.txt"), error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    modemsim::Simulator s(modemsim::Options{});
    std::string error;
    ASSERT_TRUE(s.open(error)) << error;
    for (const char* bad : {"dial", "dial number=12a", "dial number=1 rings=2", "dial number=1 talk=-1", "pickup now",
                            "hangup 1", "call pickup=soon", "call end=later"}) {
        error.clear();
        EXPECT_FALSE(s.control(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    EXPECT_TRUE(s.control("call rings=1 pickup=0 end=hangup", error)) << error;
    EXPECT_TRUE(s.control("dial number=0123456789*# talk=1", error)) << error;
}
