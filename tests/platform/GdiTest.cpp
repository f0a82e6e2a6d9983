#include "platform/Gdi.h"

#include "WindowFixture.h"

namespace {

class GdiTest : public TestSupport::WindowFixture {
protected:
    // A top-down bitmap of width x (height + 1) rows whose pixels name their
    // position, selected into a memory context.
    void MakeBitmap(int width, int height) {
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -(height + 1);
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_BITFIELDS;
        info.bmiColors[0] = 0x00FF0000;
        info.bmiColors[1] = 0x0000FF00;
        info.bmiColors[2] = 0x000000FF;
        memoryDC = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap = CreateDIBSection(memoryDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap, nullptr);
        pixels = static_cast<uint32_t*>(bits);
        for (int y = 0; y <= height; ++y)
            for (int x = 0; x < width; ++x) pixels[y * width + x] = uint32_t(y << 8 | x);
        previous = SelectObject(memoryDC, reinterpret_cast<HGDIOBJ>(bitmap));
        ASSERT_NE(previous, nullptr);
    }

    BITMAPINFO info;
    HDC memoryDC = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* pixels = nullptr;
};

// The rectangle's rows are addressed from the bottom of a bitmap one row
// taller than the picture, the way the software renderer presents.
TEST_F(GdiTest, RectangleLandsAtItsPlaceInTheWindow) {
    HWND window = MakeWindow(40, 30);
    MakeBitmap(40, 30);
    const int left = 5, top = 7, right = 12, bottom = 20;
    EXPECT_EQ(SetDIBitsToDevice(GetDC(window), left, top, right - left, bottom - top, left, 31 - bottom, 0, 31, pixels,
                                &info, DIB_RGB_COLORS),
              bottom - top);
    std::vector<uint32_t> picture;
    int width = 0, height = 0;
    ASSERT_TRUE(Platform::Testing::ReadWindowPicture(window, picture, width, height));
    ASSERT_EQ(width, 40);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= left && x < right && y >= top && y < bottom;
            ASSERT_EQ(picture[size_t(y * 40 + x)], inside ? uint32_t(y << 8 | x) : 0u) << x << "," << y;
        }
}

TEST_F(GdiTest, RectanglesAreCutToTheWindow) {
    HWND window = MakeWindow(20, 10);
    MakeBitmap(40, 30);
    EXPECT_EQ(SetDIBitsToDevice(GetDC(window), 15, 8, 10, 10, 15, 31 - 18, 0, 31, pixels, &info, DIB_RGB_COLORS), 2);
    std::vector<uint32_t> picture;
    int width = 0, height = 0;
    ASSERT_TRUE(Platform::Testing::ReadWindowPicture(window, picture, width, height));
    EXPECT_EQ(picture[9 * 20 + 19], uint32_t(9 << 8 | 19));
    EXPECT_EQ(SetDIBitsToDevice(memoryDC, 0, 0, 1, 1, 0, 0, 0, 31, pixels, &info, DIB_RGB_COLORS), 0);
}

// A window's pixels are written by the CPU and need no renderer: left to
// itself, SDL makes one (with an OpenGL context) behind the window's surface.
TEST_F(GdiTest, AWindowsPictureTakesNoRenderer) {
    const HWND window = MakeWindow();
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(Platform::Testing::ReadWindowPicture(window, pixels, width, height));
    EXPECT_EQ(SDL_GetRenderer(Platform::GetSdlWindow(window)), nullptr);
}

TEST_F(GdiTest, SelectedBitmapOutlivesDeletionUntilDeselected) {
    MakeBitmap(4, 4);
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(bitmap)));
    EXPECT_EQ(SelectObject(memoryDC, previous), reinterpret_cast<HGDIOBJ>(bitmap));
    EXPECT_TRUE(DeleteObject(reinterpret_cast<HGDIOBJ>(bitmap)));
    EXPECT_TRUE(DeleteDC(memoryDC));
    EXPECT_FALSE(DeleteDC(memoryDC));
}

TEST_F(GdiTest, UnsupportedFormatsMakeNoBitmap) {
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = -4;
    info.bmiHeader.biBitCount = 16;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
}

} // namespace
