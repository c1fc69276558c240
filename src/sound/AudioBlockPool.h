// The wave output's recycled data blocks: a played buffer's block serves the next buffer of its size.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

/// A block of bytes owned by the pool while it is free and by the caller while it is taken.
struct AudioBlock {
    std::unique_ptr<char[]> data;
    size_t capacity = 0;
};

/// Free blocks are handed out by size: exactly the size asked for when one is free, else the
/// smallest larger one, else a new block. The fixed-size buffers of a stream therefore stop
/// allocating after the first round.
class AudioBlockPool {
public:
    /// A block of at least `size` bytes (at least one byte).
    AudioBlock take(size_t size);
    /// Gives a block back for reuse.
    void giveBack(AudioBlock block);
    /// Frees every free block (at Open and Close).
    void clear();

    size_t freeCount() const { return m_free.size(); }
    /// Blocks allocated since the pool was made; a pool that recycles well stops counting.
    size_t allocations() const { return m_allocations; }

private:
    std::vector<AudioBlock> m_free;
    size_t m_allocations = 0;
};
