// Finds the keys of a telephone keypad in the line's sound: the two-tone signals of DTMF dialling.
#pragma once

#include <QtGlobal>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

/// One key whose tone began `atMs` milliseconds after the first sample fed.
struct DtmfKey {
    char key = 0;
    qint64 atMs = 0;
};

/// A Goertzel detector over frames of kFrame samples of the working format (8 kHz, 8-bit unsigned,
/// mid level 128). A frame shows a key when one row and one column tone stand out: each loud enough,
/// each well above the others of its group, together most of the frame's power, and the two within
/// the allowed twist. A key counts once it shows in kMinFrames frames in a row (a tone of about 50 ms
/// or more) and ends after kGapFrames frames without it, so a flicker of noise does not repeat it.
class DtmfDetector {
public:
    static constexpr int kSampleRate = 8000;
    /// 25.6 ms: the bins of the eight tones fall apart at this length.
    static constexpr int kFrame = 205;
    static constexpr int kMinFrames = 2;
    static constexpr int kGapFrames = 2;
    /// Mean power of one tone, full scale 1.0: about -34 dBFS for a sine.
    static constexpr double kMinTonePower = 2.0e-4;
    /// The row tone may be up to 8 dB louder than the column tone (reverse twist); the column tone
    /// up to 4 dB louder than the row tone (normal twist).
    static constexpr double kReverseTwist = 6.31;
    static constexpr double kNormalTwist = 2.51;
    /// Each tone stands 6 dB above every other tone of its group.
    static constexpr double kGroupMargin = 4.0;
    /// The two tones carry at least this share of the frame's power (speech spreads it).
    static constexpr double kMinShare = 0.6;

    void reset() { *this = DtmfDetector(); }
    /// Appends to `keys` each key whose tone has begun in `samples`.
    void feed(std::span<const uint8_t> samples, std::vector<DtmfKey>& keys);
    /// Frames in a row, up to the last one, that were loud but showed no key (ringback, a voice).
    int otherSoundFrames() const { return m_otherSound; }

    /// The key one frame of samples (centred, full scale 1.0) shows, or 0.
    static char frameKey(std::span<const float> frame, bool* loud = nullptr);

private:
    void endFrame(std::vector<DtmfKey>& keys);

    std::array<float, kFrame> m_frame{};
    int m_filled = 0;
    qint64 m_frames = 0; ///< frames analysed since reset
    char m_candidate = 0;
    int m_candidateFrames = 0;
    qint64 m_candidateStart = 0;
    char m_current = 0; ///< the key being held, reported already
    int m_absent = 0;
    int m_otherSound = 0;
};
