#pragma once
// A read-only look at the input waiting for the program, for work that runs
// long inside a frame and must know whether a quit is coming. Unlike
// PeekMessage(..., PM_NOREMOVE), nothing is translated or taken: the key,
// input, cursor and window state stay as the last dispatched message left
// them.

#include <vector>

#include "platform/Messages.h"

namespace Platform {

// SDL's quit event (an interrupt, the session ending) in the look: dispatch
// turns it into WM_CLOSE for every window. No queued message has this number.
constexpr UINT PENDING_SDL_QUIT = 0xFFFF;

// Pumps SDL's events (main thread only; elsewhere only the queue is read)
// and lists, in the order the queue will hand them out, the messages
// waiting: those already posted (a posted message with no window, which
// dispatch hands to nobody, among them), then SDL's pending events as the
// messages they will become (closing, keys, pointer moves and presses, the
// pointer messages without their button and modifier flags; a quit event as
// PENDING_SDL_QUIT with no window), then WM_QUIT when a quit was posted.
std::vector<MSG> PeekPendingMessages();

} // namespace Platform
