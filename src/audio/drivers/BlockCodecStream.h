// A stream whose every whole source block of fixed size gives one destination block of fixed size.
#pragma once

#include "audio/CodecStream.h"

class BlockCodecStream : public CodecStream {
public:
    BlockCodecStream(size_t sourceBlock, size_t destinationBlock)
        : m_sourceBlock(sourceBlock), m_destinationBlock(destinationBlock) {}

    size_t sourceBlockBytes() const override { return m_sourceBlock; }
    size_t destinationBytes(size_t sourceBytes) const override {
        return sourceBytes / m_sourceBlock * m_destinationBlock;
    }
    size_t convert(std::span<const uint8_t> source, std::span<uint8_t> destination, size_t& consumed) override;
    void reset() override {}

protected:
    /// Converts `blocks` whole blocks from `source` to `destination`.
    virtual void processBlocks(const uint8_t* source, uint8_t* destination, size_t blocks) = 0;

private:
    size_t m_sourceBlock;
    size_t m_destinationBlock;
};
