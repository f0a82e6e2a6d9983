#pragma once
// The byte size of a driver's vertex or index buffer, checked before any
// memory is asked for.

#include <cstddef>
#include <cstdint>

#include "app/Exception.h"

namespace Engine::Graphics {

// count x elementSize; a count or size that is not positive, or a product
// beyond 2 GiB, throws the driver's creation failure text.
inline size_t CheckedBufferBytes(const char* failure, int32_t count, int32_t elementSize) {
    if (count <= 0 || elementSize <= 0 || int64_t(count) * elementSize > 0x7FFFFFFF) throw CException(failure);
    return size_t(count) * size_t(elementSize);
}

} // namespace Engine::Graphics
