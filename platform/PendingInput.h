#pragma once
// A read-only look at the input waiting for the program, for work that runs
// long inside a frame and must know whether a quit is coming. Unlike
// PeekMessage(..., PM_NOREMOVE), nothing is translated or taken: the key,
// input, cursor and window state stay as the last dispatched message left
// them.

#include <vector>

#include "platform/Messages.h"

namespace Platform {

// Pumps SDL's events (main thread only; elsewhere only the queue is read)
// and lists, in the order the queue will hand them out, the messages
// waiting: those already posted, then SDL's pending events as the messages
// they will become (closing, keys, pointer moves and presses, the pointer
// messages without their button and modifier flags; a quit event becomes
// WM_CLOSE with no window, for every window), then WM_QUIT when a quit was
// posted.
std::vector<MSG> PeekPendingMessages();

} // namespace Platform
