// The sounds a call can carry: a WAV file, a tone, silence, dial tone, busy tone or a voice-like signal.
// Each is a function of the time since the handset was lifted, so any sample rate can be read from it.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace modemsim {

/// What the modem's detectors would make of the line at a moment.
enum class SignalKind { Sound, Silence, DialTone, Busy };

class AudioSource {
public:
    virtual ~AudioSource() = default;
    /// The line level at t seconds into the source, in [-1, 1].
    virtual double sample(double t) const = 0;
    virtual SignalKind kind(double t) const = 0;
};

/// "silence", "dialtone", "busy", "speech", "tone:HZ" or a 16-bit PCM mono WAV file; nullptr with a
/// message in error when the text names none of them.
std::shared_ptr<AudioSource> makeAudioSource(const std::string& name, std::string& error);

/// The two-tone signal of a DTMF key ('0'..'9', '*', '#') at t seconds into it; 0 for any other key.
double dtmfSample(char key, double t);

/// The samples of a 16-bit PCM mono WAV file (exposed for the tests); false with a message on any other file.
bool readWav(const std::string& path, std::vector<short>& samples, int& rate, std::string& error);

} // namespace modemsim
