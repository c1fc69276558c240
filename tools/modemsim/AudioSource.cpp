// The call's sound sources.
#include "modemsim/AudioSource.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numbers>

namespace modemsim {

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;
constexpr double ToneLevel = 0.25; // each component of a call-progress tone, about -12 dBFS

class Silence : public AudioSource {
public:
    double sample(double) const override { return 0; }
    SignalKind kind(double) const override { return SignalKind::Silence; }
};

class Tone : public AudioSource {
public:
    explicit Tone(double hz) : m_hz(hz) {}
    double sample(double t) const override { return 0.5 * std::sin(TwoPi * m_hz * t); }
    SignalKind kind(double) const override { return SignalKind::Sound; }

private:
    double m_hz;
};

// North American dial tone, 350 + 440 Hz continuous.
class DialTone : public AudioSource {
public:
    double sample(double t) const override {
        return ToneLevel * (std::sin(TwoPi * 350 * t) + std::sin(TwoPi * 440 * t));
    }
    SignalKind kind(double) const override { return SignalKind::DialTone; }
};

// Busy tone, 480 + 620 Hz, 0.5 s on and 0.5 s off.
class Busy : public AudioSource {
public:
    static bool on(double t) { return std::fmod(t, 1.0) < 0.5; }
    double sample(double t) const override {
        return on(t) ? ToneLevel * (std::sin(TwoPi * 480 * t) + std::sin(TwoPi * 620 * t)) : 0.0;
    }
    SignalKind kind(double) const override { return SignalKind::Busy; }
};

// A voice-like signal: syllables of a buzzing fundamental with a few harmonics, each with its own pitch,
// length and loudness under a smooth envelope, separated by short pauses. The pattern repeats every period.
class Speech : public AudioSource {
public:
    Speech() {
        std::uint32_t seed = 2024;
        auto next = [&seed](double lo, double hi) {
            seed = seed * 1664525u + 1013904223u;
            return lo + (hi - lo) * ((seed >> 8) & 0xffff) / 65535.0;
        };
        double t = 0.05;
        while (t < Period - 0.5) {
            Syllable s;
            s.start = t;
            s.length = next(0.12, 0.32);
            s.level = next(0.08, 0.55);
            s.pitch = next(95, 230);
            m_syllables.push_back(s);
            t += s.length + next(0.04, 0.3);
        }
    }
    double sample(double t) const override {
        const Syllable* s = at(t);
        if (!s)
            return 0;
        const double within = std::fmod(t, Period) - s->start;
        const double u = within / s->length;
        const double envelope = std::sin(std::numbers::pi * u);
        // A voice glides in pitch through a syllable and carries breath noise, so no block of it is
        // as regular as a line tone.
        const double phase = within + 0.35 * within * within / s->length;
        double v = 0;
        for (int h = 1; h <= 4; ++h)
            v += std::sin(TwoPi * s->pitch * h * phase) / h;
        std::uint32_t k = static_cast<std::uint32_t>(t * 16000.0);
        k ^= k >> 16;
        k *= 0x7feb352du;
        k ^= k >> 15;
        k *= 0x846ca68bu;
        k ^= k >> 16;
        v += 0.45 * ((k & 0xffffu) / 32767.5 - 1.0);
        return s->level * envelope * envelope * v / 2.3;
    }
    SignalKind kind(double t) const override { return at(t) ? SignalKind::Sound : SignalKind::Silence; }

private:
    static constexpr double Period = 20.0;
    struct Syllable {
        double start, length, level, pitch;
    };
    const Syllable* at(double t) const {
        const double p = std::fmod(t, Period);
        for (const auto& s : m_syllables)
            if (p >= s.start && p < s.start + s.length)
                return &s;
        return nullptr;
    }
    std::vector<Syllable> m_syllables;
};

class WavSource : public AudioSource {
public:
    WavSource(std::vector<short> samples, int rate) : m_samples(std::move(samples)), m_rate(rate) {}
    double sample(double t) const override {
        // Linear interpolation between the file's samples; past the end the line is silent.
        const double pos = t * m_rate;
        const auto i = static_cast<size_t>(pos);
        if (pos < 0 || i >= m_samples.size())
            return 0;
        const double a = m_samples[i];
        const double b = i + 1 < m_samples.size() ? m_samples[i + 1] : 0.0;
        return (a + (b - a) * (pos - static_cast<double>(i))) / 32768.0;
    }
    SignalKind kind(double t) const override {
        return t * m_rate < static_cast<double>(m_samples.size()) ? SignalKind::Sound : SignalKind::Silence;
    }

private:
    std::vector<short> m_samples;
    int m_rate;
};

std::uint32_t le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

} // namespace

bool readWav(const std::string& path, std::vector<short>& samples, int& rate, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::string(bytes.begin(), bytes.begin() + 4) != "RIFF" ||
        std::string(bytes.begin() + 8, bytes.begin() + 12) != "WAVE") {
        error = path + " is not a WAV file";
        return false;
    }
    bool haveFormat = false;
    size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::string id(bytes.begin() + static_cast<long>(pos), bytes.begin() + static_cast<long>(pos) + 4);
        const size_t size = le32(&bytes[pos + 4]);
        const size_t body = pos + 8;
        const size_t available = std::min(size, bytes.size() - body);
        if (id == "fmt ") {
            if (available < 16 || le16(&bytes[body]) != 1 || le16(&bytes[body + 2]) != 1 ||
                le16(&bytes[body + 14]) != 16) {
                error = path + " is not 16-bit PCM mono";
                return false;
            }
            rate = static_cast<int>(le32(&bytes[body + 4]));
            if (rate < 1000 || rate > 192000) {
                error = path + " has an unusable sample rate";
                return false;
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                error = path + ": data before format";
                return false;
            }
            samples.resize(available / 2);
            for (size_t i = 0; i < samples.size(); ++i)
                samples[i] = static_cast<short>(le16(&bytes[body + 2 * i]));
            return true;
        }
        pos = body + size + (size & 1);
    }
    error = path + " has no sound data";
    return false;
}

double dtmfSample(char key, double t) {
    static const std::string keys = "123456789*0#";
    static constexpr double Rows[] = {697, 770, 852, 941};
    static constexpr double Columns[] = {1209, 1336, 1477};
    const size_t i = keys.find(key);
    if (key == 0 || i == std::string::npos)
        return 0;
    return ToneLevel * (std::sin(TwoPi * Rows[i / 3] * t) + std::sin(TwoPi * Columns[i % 3] * t));
}

std::shared_ptr<AudioSource> makeAudioSource(const std::string& name, std::string& error) {
    if (name == "silence")
        return std::make_shared<Silence>();
    if (name == "dialtone")
        return std::make_shared<DialTone>();
    if (name == "busy")
        return std::make_shared<Busy>();
    if (name == "speech")
        return std::make_shared<Speech>();
    if (name.rfind("tone:", 0) == 0) {
        char* end = nullptr;
        const double hz = std::strtod(name.c_str() + 5, &end);
        if (end == name.c_str() + 5 || *end != '\0' || !(hz > 0 && hz < 20000)) {
            error = "bad tone frequency in " + name;
            return nullptr;
        }
        return std::make_shared<Tone>(hz);
    }
    std::vector<short> samples;
    int rate = 0;
    if (!readWav(name, samples, rate, error))
        return nullptr;
    return std::make_shared<WavSource>(std::move(samples), rate);
}

} // namespace modemsim
