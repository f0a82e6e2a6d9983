#pragma once
// Movable global memory blocks, the form in which text goes to and comes
// from the clipboard.

#include "platform/WinTypes.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_DDESHARE = 0x2000;

// Null for a size of 0 or when memory runs out; the block is zeroed.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// Null for a handle that is not a live block.
void* GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
size_t GlobalSize(HGLOBAL block);
// Returns null on success, the handle itself when it was not a live block.
HGLOBAL GlobalFree(HGLOBAL block);
