// Taking blocks from the pool: the exact size first, then the smallest larger block, then a new one.
#include "sound/AudioBlockPool.h"

#include "audio/AudioErrors.h"

#include <algorithm>
#include <new>

AudioBlock AudioBlockPool::take(size_t size) {
    size = std::max<size_t>(size, 1);
    auto best = m_free.end();
    for (auto it = m_free.begin(); it != m_free.end(); ++it) {
        if (it->capacity == size) {
            best = it;
            break;
        }
        if (it->capacity > size && (best == m_free.end() || it->capacity < best->capacity))
            best = it;
    }
    if (best != m_free.end()) {
        AudioBlock block = std::move(*best);
        m_free.erase(best);
        return block;
    }
    AudioBlock block;
    block.data.reset(new (std::nothrow) char[size]);
    if (!block.data)
        throw AudioOutError(QStringLiteral("Cannot allocate global memory."));
    block.capacity = size;
    ++m_allocations;
    return block;
}

void AudioBlockPool::giveBack(AudioBlock block) {
    if (block.data)
        m_free.push_back(std::move(block));
}

void AudioBlockPool::clear() {
    m_free.clear();
}
