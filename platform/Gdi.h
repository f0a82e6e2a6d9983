#pragma once
// The GDI subset the drivers need: memory device contexts,
// device-independent bitmaps whose pixels are plain memory, and copying
// rectangles of such a bitmap into a window. A window's picture lives in its
// SDL window surface, so it shows on a desktop and can be read back
// headless (platform/Testing.h). Only 32-bit bitmaps with red in bits 16-23,
// green in 8-15 and blue in 0-7 are supported. Main thread only.

#include "platform/WinTypes.h"

struct HBITMAP__;
using HBITMAP = HBITMAP__*;

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

struct BITMAPINFOHEADER {
    DWORD biSize = sizeof(BITMAPINFOHEADER);
    LONG biWidth = 0;
    // Negative for rows stored top-down.
    LONG biHeight = 0;
    WORD biPlanes = 1;
    WORD biBitCount = 0;
    DWORD biCompression = BI_RGB;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// With BI_BITFIELDS the red, green and blue masks follow the header.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    DWORD bmiColors[3] = {};
};

// What GetObjectA reports of a bitmap.
struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 32;
    void* bmBits = nullptr;
};

// A memory device context; the given context is not needed. Null on
// failure.
HDC CreateCompatibleDC(HDC dc);
// Deletes a memory device context (its selected bitmap stays alive).
BOOL DeleteDC(HDC dc);
// A bitmap of zeroed pixels whose address is stored in *bits (rows of
// width x 4 bytes); null, with *bits null, for a format this layer lacks or
// when memory runs out.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
// Selects a bitmap into a memory device context; returns the previous one
// (a stock bitmap at first), or null on failure.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Fills a BITMAP (size bytes at most) for a bitmap; returns the bytes
// written, 0 for anything else.
int GetObjectA(HGDIOBJ object, int size, void* out);
// Copies `lines` rows from row `startScan` (counted from the bottom) of a
// bitmap not selected into a context as 32-bit BI_RGB rows, bottom-up for
// a positive height in info and top-down for a negative one. Returns the
// rows copied, 0 on failure.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
// Returns the previous mode, 0 for an unknown context.
int SetBkMode(HDC dc, int mode);
// Frees a bitmap. A bitmap still selected into a context is not freed
// (FALSE); stock objects need no freeing (TRUE).
BOOL DeleteObject(HGDIOBJ object);
// Copies rows of a bitmap to the window of the device context at (x, y),
// cut to the window's client area. Only top-down bitmaps (negative height).
// ySource counts rows from the bottom of the bitmap; the bits hold `lines`
// rows from row `startScan` (counted from the bottom as well). Returns the
// number of rows copied, 0 on failure.
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int xSource, int ySource, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
