#pragma once
// A child that shares this process's memory, not its files, and stays until
// this process has ended: the system then takes the memory back after this
// process has gone, not while it ends. It closes every descriptor it was
// given at once, so that no reader of this process's pipes, log or display
// connection waits for it, wherever the system refuses close_range.

#include <sys/types.h>

namespace Engine {

class CMemoryKeeper {
public:
    // Starts the child; its pid, or -1 when it could not be made.
    static pid_t Start();
};

} // namespace Engine
