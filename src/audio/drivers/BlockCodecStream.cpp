// Whole-block bookkeeping of the fixed-size codec streams.
#include "audio/drivers/BlockCodecStream.h"

#include <algorithm>

size_t BlockCodecStream::convert(std::span<const uint8_t> source, std::span<uint8_t> destination, size_t& consumed) {
    const size_t blocks = std::min(source.size() / m_sourceBlock, destination.size() / m_destinationBlock);
    if (blocks > 0)
        processBlocks(source.data(), destination.data(), blocks);
    consumed = blocks * m_sourceBlock;
    return blocks * m_destinationBlock;
}
