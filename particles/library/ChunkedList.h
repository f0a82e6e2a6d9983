#pragma once
// A list grown one value at a time to a million or more: its values stay in
// fixed-size chunks that never move, so growing copies none of them (a
// vector's growth would copy every value it holds, in the frame that meets
// them).

#include <cstddef>
#include <memory>
#include <vector>

namespace VexaParticles {

template <class T>
class CChunkedList {
public:
    size_t size() const { return m_size; }
    T& operator[](size_t index) { return m_chunks[index >> kShift][index & kMask]; }
    const T& operator[](size_t index) const { return m_chunks[index >> kShift][index & kMask]; }

    // Values added are `value` (a chunk's values are written only as they
    // are added); the chunks a shrink empties are let go.
    void resize(size_t size, const T& value = T()) {
        const size_t chunks = (size + kMask) >> kShift;
        while (m_chunks.size() < chunks) m_chunks.push_back(std::make_unique_for_overwrite<T[]>(kChunk));
        for (size_t index = m_size; index < size; ++index) (*this)[index] = value;
        m_chunks.resize(chunks);
        m_size = size;
    }

private:
    static constexpr size_t kShift = 11;
    static constexpr size_t kChunk = size_t(1) << kShift;
    static constexpr size_t kMask = kChunk - 1;

    std::vector<std::unique_ptr<T[]>> m_chunks;
    size_t m_size = 0;
};

} // namespace VexaParticles
