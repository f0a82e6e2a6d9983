#pragma once
// The clipboard, text only, shared with other programs through SDL (or kept
// in the process when there is no video driver). ANSI text is UTF-8 here;
// Unicode text is UTF-16. Either form can be read whichever was written.

#include "platform/WinTypes.h"

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_UNICODETEXT = 13;

// FALSE while it is already open.
BOOL OpenClipboard(HWND owner);
// Publishes what was set since opening; blocks handed out by
// GetClipboardData are freed.
BOOL CloseClipboard();
BOOL EmptyClipboard();
// Takes over a GlobalAlloc block holding zero-terminated text of the format
// (the clipboard frees it). Returns the block, or null when the clipboard is
// not open or the format or block is not usable.
HGLOBAL SetClipboardData(UINT format, HGLOBAL data);
// A block (owned by the clipboard) with the text in the format, zero
// terminated; null when there is no text or the clipboard is not open.
HGLOBAL GetClipboardData(UINT format);
