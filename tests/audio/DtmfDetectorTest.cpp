// The keypad detector on generated line sound: keys in noise are found once each; short, twisted and
// call-progress tones and a voice are not keys.
#include "audio/DtmfDetector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>

namespace {

constexpr double kRate = DtmfDetector::kSampleRate;

struct Line {
    std::vector<double> sound;
    std::mt19937 noise{7};

    void tones(double low, double high, double seconds, double lowLevel = 0.25, double highLevel = 0.25) {
        const auto n = static_cast<size_t>(seconds * kRate);
        for (size_t i = 0; i < n; ++i) {
            const double t = static_cast<double>(i) / kRate;
            sound.push_back(lowLevel * std::sin(2 * std::numbers::pi * low * t) +
                            highLevel * std::sin(2 * std::numbers::pi * high * t));
        }
    }
    void key(char key, double seconds, double lowLevel = 0.25, double highLevel = 0.25) {
        static const std::string keys = "123A456B789C*0#D";
        const size_t i = keys.find(key);
        const double rows[] = {697, 770, 852, 941};
        const double columns[] = {1209, 1336, 1477, 1633};
        tones(rows[i / 4], columns[i % 4], seconds, lowLevel, highLevel);
    }
    void pause(double seconds) { tones(0, 0, seconds, 0, 0); }
    /// A voiced sound: a gliding fundamental with twenty falling harmonics.
    void voice(double seconds) {
        const auto n = static_cast<size_t>(seconds * kRate);
        double phase = 0;
        for (size_t i = 0; i < n; ++i) {
            const double t = static_cast<double>(i) / kRate;
            phase += 2 * std::numbers::pi * (120 + 60 * std::sin(2 * std::numbers::pi * 3 * t)) / kRate;
            double x = 0;
            for (int h = 1; h <= 20; ++h)
                x += std::sin(h * phase) / h;
            sound.push_back(0.2 * x);
        }
    }
    /// The working format's bytes, with white noise of `noiseLevel` added.
    std::vector<uint8_t> bytes(double noiseLevel) {
        std::uniform_real_distribution<double> spread(-noiseLevel, noiseLevel);
        std::vector<uint8_t> out;
        for (const double x : sound)
            out.push_back(static_cast<uint8_t>(std::clamp(std::lround(128 + 127 * (x + spread(noise))), 0L, 255L)));
        return out;
    }
};

std::string detect(const std::vector<uint8_t>& samples, size_t chunk = 333) {
    DtmfDetector detector;
    std::vector<DtmfKey> keys;
    for (size_t at = 0; at < samples.size(); at += chunk)
        detector.feed(std::span(samples).subspan(at, std::min(chunk, samples.size() - at)), keys);
    std::string text;
    qint64 last = -1;
    for (const DtmfKey& k : keys) {
        EXPECT_GT(k.atMs, last); // in the order they sounded
        last = k.atMs;
        text += k.key;
    }
    return text;
}

} // namespace

TEST(DtmfDetector, FindsEveryKeyOnceInNoiseAndRefusesWhatIsNoKey) {
    Line dialled;
    dialled.pause(0.3);
    for (const char key : std::string("0123456789*#ABCD1")) {
        dialled.key(key, 0.08);
        dialled.pause(0.08);
    }
    EXPECT_EQ(detect(dialled.bytes(0.05)), "0123456789*#ABCD1");
    // Held long, with twist inside the limits: one key each.
    Line held;
    held.key('5', 1.0, 0.25, 0.1);
    held.pause(0.2);
    held.key('8', 1.0, 0.1, 0.15);
    EXPECT_EQ(detect(held.bytes(0.02), 4096), "58");

    Line refused;
    refused.key('1', 0.02); // too short to be a key press
    refused.pause(0.1);
    refused.key('2', 0.3, 0.25, 0.025); // the row tone 20 dB above the column tone
    refused.pause(0.1);
    refused.key('3', 0.3, 0.05, 0.25); // the column tone 14 dB above the row tone
    refused.pause(0.1);
    refused.key('4', 0.3, 0.002, 0.002); // below the level of a line's tones
    refused.tones(350, 440, 1.0);        // dial tone
    refused.tones(440, 480, 1.0);        // ringback
    refused.tones(480, 620, 0.5);        // busy
    refused.voice(2.0);
    EXPECT_EQ(detect(refused.bytes(0.02)), "");
    // Noise alone, loud, is no key either, and counts as other sound.
    Line noise;
    noise.pause(1.0);
    DtmfDetector detector;
    std::vector<DtmfKey> keys;
    detector.feed(noise.bytes(0.3), keys);
    EXPECT_TRUE(keys.empty());
    EXPECT_GT(detector.otherSoundFrames(), 10);
}
