#pragma once
// The system cursors: loaded by id, set over a window and shown or hidden.
// Each maps to SDL's nearest system cursor; where SDL has no cursors (the
// offscreen driver) the handles still work and nothing is drawn.

#include "platform/Gdi.h"
#include "platform/WinTypes.h"

enum IDC_CURSOR : int {
    IDC_ARROW = 32512,
    IDC_IBEAM,
    IDC_WAIT,
    IDC_CROSS,
    IDC_UPARROW,
    IDC_SIZENWSE,
    IDC_SIZENESW,
    IDC_SIZEWE,
    IDC_SIZENS,
    IDC_SIZEALL,
    IDC_NO,
    IDC_HAND,
    IDC_APPSTARTING,
    IDC_HELP,
};

// Only system cursors exist (instance null); one handle per id for the life
// of the process. Null for an unknown id.
HCURSOR LoadCursor(HINSTANCE instance, IDC_CURSOR id);
// Returns the cursor set before; null hides the pointer over the window.
HCURSOR SetCursor(HCURSOR cursor);
// Raises (TRUE) or lowers the display counter and returns it; the pointer is
// shown while the counter is not negative.
int ShowCursor(BOOL show);

struct ICONINFO {
    BOOL fIcon = FALSE;
    DWORD xHotspot = 0;
    DWORD yHotspot = 0;
    HBITMAP hbmMask = nullptr;   // AND mask; with no colour bitmap the XOR mask below it
    HBITMAP hbmColor = nullptr;
};
// A cursor's hot spot and new copies of its bitmaps, which the caller
// deletes. The system cursors are monochrome 32 x 32 arrows.
BOOL GetIconInfo(HCURSOR cursor, ICONINFO* info);
