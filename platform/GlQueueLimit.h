#pragma once
// Bounds the drawing a GL implementation holds queued. Mesa's software
// rasteriser bins every triangle of a frame into memory of its own and
// rasterises on worker threads behind the caller, so a frame of hundreds of
// thousands of small triangles, or frames queued while the machine is busy,
// hold tens to hundreds of megabytes. After every kVertices vertices drawn,
// a fence is set and the one set before is waited for: at most about two
// such stretches are ever queued, and the caller still bins one while the
// other is rasterised. The picture is the same; only when the caller waits
// changes. Main thread only; the context it was used with must be current.

#include <cstdint>

namespace Platform::Gl {

class CGlQueueLimit {
public:
    static constexpr int64_t kVertices = 65536;

    CGlQueueLimit() = default;
    CGlQueueLimit(const CGlQueueLimit&) = delete;
    CGlQueueLimit& operator=(const CGlQueueLimit&) = delete;
    // The fence left goes with its context.
    ~CGlQueueLimit() = default;

    // Counts vertices just handed to GL.
    void Drew(int64_t vertices);
    // The context is about to go (or has gone): the fence is dropped
    // without waiting.
    void Forget();

private:
    int64_t m_sinceFence = 0;
    void* m_pending = nullptr;  // the GLsync of the last stretch
};

} // namespace Platform::Gl
