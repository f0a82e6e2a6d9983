#include "app/FreeBurst.h"

#include <cstddef>  // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace Engine {

#if defined(__GLIBC__)
namespace {
// glibc's own limit of a fast-bin block, which mallopt cannot read back.
constexpr int kDefaultFastBlockBytes = 64 * int(sizeof(size_t)) / 4;
} // namespace

CFreeBurst::CFreeBurst() : m_active(mallopt(M_MXFAST, 0) == 1) {}

CFreeBurst::~CFreeBurst() {
    if (m_active) mallopt(M_MXFAST, kDefaultFastBlockBytes);
}
#else
CFreeBurst::CFreeBurst() = default;
CFreeBurst::~CFreeBurst() = default;
#endif

} // namespace Engine
