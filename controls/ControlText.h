#pragma once
// Wide-text routines of the controls' text editing.

#include "app/String.h"

namespace Engine::Controls {

// count characters from start; the range is clamped to the string, so a
// negative start counts from 0 and a count past the end stops there.
CWString WideSubstring(const CWString& source, int start, int count);
// Erases count characters at position (a negative position counts as 0;
// the range is clamped to the string). Returns the length before.
int WideErase(CWString& text, int position, int count);

} // namespace Engine::Controls
