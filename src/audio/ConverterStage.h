// One stage of a converter: a codec service stream between two formats with its own buffers.
#pragma once

#include "audio/CodecService.h"
#include "audio/WaveFormat.h"

#include <memory>
#include <vector>

class ConverterStage {
public:
    ConverterStage(const WaveFormat& formatIn, const WaveFormat& formatOut, bool requestRealTime,
                   bool maskFpuExceptions);
    ~ConverterStage();
    ConverterStage(const ConverterStage&) = delete;
    ConverterStage& operator=(const ConverterStage&) = delete;

    /// AudioError "Cannot perform this action while active." when open; AudioConversionError with the
    /// service's text when the stream cannot be opened.
    void open();
    /// Drops pending input (less than one codec block).
    void close();
    bool isOpen() const { return m_stream != nullptr; }

    /// Takes `count` bytes; converts the whole codec blocks held and returns the bytes produced (0 when
    /// there is not yet a whole block). The output stays valid until the next call.
    size_t convert(const uint8_t* data, size_t count);
    const uint8_t* output() const { return m_output.data(); }

    /// Pads the pending input of a PCM stage with silence to a whole block and converts it; returns
    /// the bytes produced (0 for a stage without PCM input or nothing pending).
    size_t flushPadded();

    const WaveFormat& formatIn() const { return m_formatIn; }
    const WaveFormat& formatOut() const { return m_formatOut; }
    size_t fill() const { return m_fill; }
    size_t capacity() const { return m_input.size(); }
    bool prepared() const { return m_header.prepared; }

private:
    size_t convertHeld();

    WaveFormat m_formatIn;
    WaveFormat m_formatOut;
    bool m_requestRealTime;
    bool m_maskFpuExceptions;
    std::unique_ptr<CodecStream> m_stream;
    std::vector<uint8_t> m_input;
    size_t m_fill = 0;
    std::vector<uint8_t> m_output;
    AcmStreamHeader m_header;
};
