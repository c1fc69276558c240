// The wave format descriptor: a 128-byte WAVEFORMATEX buffer with room for codec extra bytes.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <span>

class FormatChooser;

namespace wavetag {
constexpr uint16_t Pcm = 1;
constexpr uint16_t MsAdpcm = 2;
constexpr uint16_t Alaw = 6;
constexpr uint16_t Mulaw = 7;
constexpr uint16_t ImaAdpcm = 0x11;
constexpr uint16_t Gsm610 = 0x31;
} // namespace wavetag

/// Fields at fixed offsets, little-endian; setters write in place without validation except the
/// extra size. Files in this layout (`.cpn`) are these 128 bytes, nothing else.
class WaveFormat {
public:
    static constexpr int kBufferSize = 128;
    static constexpr int kHeaderSize = 18;    ///< the fields up to and including the extra size
    static constexpr int kPcmHeaderSize = 16; ///< the fields up to and including bits per sample
    static constexpr int kMaxExtraSize = kBufferSize - kHeaderSize;

    /// PCM, 2 channels, 11025 Hz, 22050 bytes/s, block alignment 2, 8 bits, every other byte zero.
    WaveFormat();
    /// A PCM format with the derived block alignment and byte rate.
    static WaveFormat pcm(uint32_t samplesPerSec, uint16_t bitsPerSample, uint16_t channels);
    /// The working format: PCM mono 8000 Hz 8-bit.
    static WaveFormat workingFormat() { return pcm(8000, 8, 1); }
    /// Up to 128 bytes of a format record (a fmt chunk, an enumerated format); the rest stays zero.
    static WaveFormat fromBytes(QByteArrayView bytes);

    /// Rewrites the seven header fields with the defaults; the extra bytes are left alone.
    void setDefaults();

    uint16_t formatTag() const { return read16(0); }
    void setFormatTag(uint16_t v) { write16(0, v); }
    uint16_t channels() const { return read16(2); }
    void setChannels(uint16_t v) { write16(2, v); }
    uint32_t samplesPerSec() const { return read32(4); }
    void setSamplesPerSec(uint32_t v) { write32(4, v); }
    uint32_t avgBytesPerSec() const { return read32(8); }
    void setAvgBytesPerSec(uint32_t v) { write32(8, v); }
    uint16_t blockAlign() const { return read16(12); }
    void setBlockAlign(uint16_t v) { write16(12, v); }
    uint16_t bitsPerSample() const { return read16(14); }
    void setBitsPerSample(uint16_t v) { write16(14, v); }
    /// The stored value, capped at 110.
    uint16_t extraSize() const;
    /// Raises AudioError "The wave format buffer is too small." above 110 (field unchanged).
    void setExtraSize(uint16_t v);
    /// The meaningful extra bytes.
    std::span<const uint8_t> extra() const { return {m_buffer.data() + kHeaderSize, extraSize()}; }
    std::span<uint8_t> extraBuffer() { return {m_buffer.data() + kHeaderSize, kMaxExtraSize}; }

    uint8_t* raw() { return m_buffer.data(); }
    const uint8_t* raw() const { return m_buffer.data(); }
    QByteArray bytes() const { return QByteArray(reinterpret_cast<const char*>(raw()), kBufferSize); }

    /// All 128 bytes equal, including those past the extra size.
    bool sameFormat(const WaveFormat& other) const { return m_buffer == other.m_buffer; }
    void assign(const WaveFormat& other) { m_buffer = other.m_buffer; }
    bool operator==(const WaveFormat& other) const { return sameFormat(other); }

    /// Reads up to 128 bytes; a shorter file fills only the leading bytes. FileOpenError when the
    /// file cannot be opened.
    void loadFormatFile(const QString& fileName);
    /// Creates or truncates the file and writes the 128 bytes; FileOpenError when it cannot.
    void saveFormatFile(const QString& fileName) const;

    /// "<tag name>: <format text>", e.g. "PCM: 8.000 kHz, 8 Bit, Mono"; empty for an unknown format.
    QString formatDescription() const;

    /// Lets the user pick a format, starting from this one. True when a format was taken; false when
    /// cancelled (descriptor unchanged); AudioConversionError "Error selecting format." + the error
    /// text on any other result of the chooser.
    bool chooseFormat(const QString& title, FormatChooser& chooser);

private:
    uint16_t read16(int offset) const { return static_cast<uint16_t>(m_buffer[offset] | (m_buffer[offset + 1] << 8)); }
    uint32_t read32(int offset) const {
        return m_buffer[offset] | (m_buffer[offset + 1] << 8) | (m_buffer[offset + 2] << 16) |
               (static_cast<uint32_t>(m_buffer[offset + 3]) << 24);
    }
    void write16(int offset, uint16_t v);
    void write32(int offset, uint32_t v);

    std::array<uint8_t, kBufferSize> m_buffer{};
};
