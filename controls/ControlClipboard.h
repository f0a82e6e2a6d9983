#pragma once
// Text to and from the system clipboard for the controls' copy, cut and
// paste: published as Unicode and ANSI text, read back as ANSI text.

#include "app/String.h"
#include "platform/WinTypes.h"

namespace Engine::Controls {

// Empties the clipboard and publishes the text (nothing more when it is
// empty). False when the clipboard could not be opened.
bool SetClipboardText(HWND owner, const CWString& text);
// The clipboard's ANSI text; empty when it cannot be opened or holds none.
CWString GetClipboardText(HWND owner);

} // namespace Engine::Controls
