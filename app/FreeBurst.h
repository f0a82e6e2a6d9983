#pragma once
// Sets the C library's heap up for a burst of frees, such as a teardown.

namespace Engine {

// While one lives, each freed small block merges with its free neighbours
// as it is freed instead of waiting in the heap's fast bins. A teardown
// frees small blocks by the hundred thousand; parked in fast bins, they are
// all merged in one walk over memory long out of the caches as soon as a
// block of 64 KiB or more is freed: 40% of the program's teardown with
// 10,000 sprite files. Loading and frames keep the fast bins: they take
// freed blocks back at once. The fast bins come back when it goes.
class CFreeBurst {
public:
    CFreeBurst();
    ~CFreeBurst();
    CFreeBurst(const CFreeBurst&) = delete;
    CFreeBurst& operator=(const CFreeBurst&) = delete;

    // False where the C library does not take the setting.
    bool IsActive() const { return m_active; }

private:
    bool m_active = false;
};

} // namespace Engine
