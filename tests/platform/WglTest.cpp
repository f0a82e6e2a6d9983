#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "WindowFixture.h"
#include "platform/Testing.h"
#include "platform/Wgl.h"

namespace {

class WglTest : public TestSupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        RegisterOwnDcClass("GL");
    }
    static HWND MakeGlWindow() {
        return CreateWindowEx(0, "GL", "gl", WS_POPUP, 0, 0, 32, 32, nullptr, nullptr, nullptr, nullptr);
    }
    static PIXELFORMATDESCRIPTOR Request(DWORD flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER) {
        PIXELFORMATDESCRIPTOR pfd;
        pfd.nSize = sizeof pfd;
        pfd.nVersion = 1;
        pfd.dwFlags = flags;
        pfd.cColorBits = 32;
        pfd.cDepthBits = 24;
        return pfd;
    }
    static HDC ReadyDC(HWND window) {
        HDC dc = GetDC(window);
        const PIXELFORMATDESCRIPTOR pfd = Request();
        EXPECT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd));
        return dc;
    }
};

TEST_F(WglTest, ContextIsMadeAsideThenDrawsWhenCurrent) {
    HDC dc = ReadyDC(MakeGlWindow());
    PIXELFORMATDESCRIPTOR described;
    EXPECT_EQ(DescribePixelFormat(dc, GetPixelFormat(dc), sizeof described, &described), 1);
    EXPECT_EQ(described.cDepthBits, 24);
    EXPECT_EQ(described.cStencilBits, 8);

    HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr); // creation leaves the current one alone
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    glClearColor(0, 1, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    uint8_t pixel[4] = {};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_TRUE(SwapBuffers(dc));
    EXPECT_TRUE(wglDeleteContext(context));
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    EXPECT_FALSE(wglMakeCurrent(dc, context)); // a stale handle is refused
}

TEST_F(WglTest, KeptSwapsShowWhatWasPresentedTopDownAndLeaveTheReadStateAlone) {
    HWND window = MakeGlWindow();
    HDC dc = ReadyDC(window);
    HGLRC context = wglCreateContext(dc);
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    // Top half green over a red bottom half (OpenGL counts rows from the bottom).
    auto draw = [] {
        glDisable(GL_SCISSOR_TEST);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 16, 32, 16);
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    };
    std::vector<uint32_t> picture;
    int width = 0, height = 0;
    draw();
    ASSERT_TRUE(SwapBuffers(dc));
    EXPECT_FALSE(Platform::Testing::ReadWindowPicture(window, picture, width, height)) << "not kept unless asked";

    Platform::Testing::KeepSwappedPictures(true);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_FRONT);
    draw();
    ASSERT_TRUE(SwapBuffers(dc));
    ASSERT_TRUE(Platform::Testing::ReadWindowPicture(window, picture, width, height));
    ASSERT_EQ(width, 32);
    ASSERT_EQ(height, 32);
    EXPECT_EQ(picture[0], 0x00FF00u);
    EXPECT_EQ(picture[size_t(15 * 32 + 31)], 0x00FF00u);
    EXPECT_EQ(picture[size_t(16 * 32)], 0xFF0000u);
    EXPECT_EQ(picture.back(), 0xFF0000u);
    GLint alignment = 0, readBuffer = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    EXPECT_EQ(alignment, 1);
    EXPECT_EQ(readBuffer, GL_FRONT);

    Platform::Testing::KeepSwappedPictures(false);
    EXPECT_FALSE(Platform::Testing::ReadWindowPicture(window, picture, width, height)) << "forgotten";
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(wglDeleteContext(context));
}

TEST_F(WglTest, FormatsAreRefusedWhereTheWindowCannotHaveThem) {
    HWND plain = MakeWindow();
    const PIXELFORMATDESCRIPTOR pfd = Request();
    EXPECT_EQ(ChoosePixelFormat(GetDC(plain), &pfd), 0); // not an OpenGL window
    HDC dc = GetDC(MakeGlWindow());
    EXPECT_EQ(wglCreateContext(dc), nullptr); // no format yet
    PIXELFORMATDESCRIPTOR indexed = Request();
    indexed.iPixelType = PFD_TYPE_COLORINDEX;
    EXPECT_EQ(ChoosePixelFormat(dc, &indexed), 0);
    const PIXELFORMATDESCRIPTOR gdi = Request(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_GDI);
    EXPECT_EQ(ChoosePixelFormat(dc, &gdi), 0);
    EXPECT_EQ(SetPixelFormat(dc, 2, &pfd), FALSE);
}

TEST_F(WglTest, TestsCanStandInForStringsAndSwapControl) {
    HDC dc = ReadyDC(MakeGlWindow());
    HGLRC context = wglCreateContext(dc);
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    Platform::Testing::SetGlString(GL_RENDERER, "GDI Generic");
    EXPECT_STREQ(reinterpret_cast<const char*>(glGetString(GL_RENDERER)), "GDI Generic");
    Platform::Testing::SetGlString(GL_RENDERER, nullptr);
    EXPECT_STRNE(reinterpret_cast<const char*>(glGetString(GL_RENDERER)), "GDI Generic");

    auto swapInterval = reinterpret_cast<PFNWGLSWAPINTERVALEXTPROC>(wglGetProcAddress("wglSwapIntervalEXT"));
    ASSERT_NE(swapInterval, nullptr);
    swapInterval(1);
    EXPECT_EQ(Platform::Testing::GetSwapInterval(), 1);
    Platform::Testing::SetSwapControlAvailable(false);
    EXPECT_EQ(wglGetProcAddress("wglSwapIntervalEXT"), nullptr);
    EXPECT_NE(wglGetProcAddress("glClear"), nullptr);
}

} // namespace
