#pragma once
// Vertex and index buffers kept in system memory, for the drivers that hand
// plain arrays to their drawing code. The lock flag is bookkeeping only: the
// data stays valid either way.

#include <cstdint>
#include <utility>
#include <vector>

#include "app/Exception.h"
#include "graphics/DeviceObject.h"

namespace Engine::Graphics {

// count x elementSize bytes; throws Engine::CException for a negative count
// or size.
inline size_t SystemBufferBytes(const char* what, int32_t count, int32_t elementSize) {
    if (count < 0 || elementSize < 0)
        throw CException::Format("Engine::Graphics::%s : FAILED : invalid size (%d x %d)", what, count, elementSize);
    return size_t(count) * size_t(elementSize);
}

template <class Buffer>
class CSystemMemoryBuffer : public Buffer {
public:
    void* Lock() override {
        m_bLocked = 1;
        return m_data.data();
    }
    void Unlock() override { m_bLocked = 0; }
    const void* GetData() override { return m_data.data(); }
    bool IsLocked() const { return m_bLocked != 0; }

protected:
    template <class... Args>
    explicit CSystemMemoryBuffer(size_t bytes, Args&&... args) : Buffer(std::forward<Args>(args)...), m_data(bytes) {}

private:
    std::vector<uint8_t> m_data;
    uint8_t m_bLocked = 0;
};

} // namespace Engine::Graphics
