// The program's module, the icon groups linked into it, and a window that
// shows its class icon and answers its class handles.

#include "platform/Library.h"
#include "platform/Resources.h"
#include "platform/WindowFixture.h"

using namespace TestSupport;
using Platform::CIconImage;

namespace {

CIconImage Solid(int size, uint32_t pixel) {
    return CIconImage{size, size, std::vector<uint32_t>(size_t(size) * size_t(size), pixel)};
}

constexpr int kGroup = 4242;

} // namespace

TEST(ResourcesTest, OnlyTheProgramsModuleHoldsIconGroups) {
    HMODULE program = GetModuleHandle(nullptr);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(GetModuleHandle("other.dll"), nullptr);
    HMODULE library = LoadLibrary("dinput.dll");
    EXPECT_NE(library, program) << "the program is not one of its libraries";
    FreeLibrary(library);
    EXPECT_EQ(LoadIcon(program, kGroup + 1), nullptr);
    EXPECT_FALSE(Platform::RegisterIconGroup(nullptr, kGroup, {Solid(16, 1)}));
    EXPECT_FALSE(Platform::RegisterIconGroup(program, kGroup, {}));
    EXPECT_FALSE(Platform::RegisterIconGroup(program, kGroup, {CIconImage{16, 16, std::vector<uint32_t>(255)}}))
        << "fewer pixels than the size says";
    EXPECT_FALSE(Platform::RegisterIconGroup(program, kGroup, {CIconImage{0, 16, {}}}));

    ASSERT_TRUE(Platform::RegisterIconGroup(program, kGroup, {Solid(16, 0xFF000001u), Solid(32, 0xFF000002u)}));
    HICON icon = LoadIcon(program, kGroup);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(nullptr, kGroup), nullptr) << "no system icons";
    const std::vector<CIconImage>* images = Platform::GetIconImages(icon);
    ASSERT_NE(images, nullptr);
    ASSERT_EQ(images->size(), 2u);
    EXPECT_EQ((*images)[0].width, 32) << "largest first";

    // A replaced group keeps its handle.
    ASSERT_TRUE(Platform::RegisterIconGroup(program, kGroup, {Solid(48, 0xFF000003u)}));
    EXPECT_EQ(LoadIcon(program, kGroup), icon);
    EXPECT_EQ(Platform::GetIconImages(icon)->front().width, 48);
    EXPECT_EQ(Platform::GetIconImages(reinterpret_cast<HICON>(uintptr_t(0x1234))), nullptr);
}

class WindowClassHandlesTest : public WindowFixture {};

TEST_F(WindowClassHandlesTest, WindowShowsTheClassIconAndAnswersTheClassHandles) {
    HMODULE program = GetModuleHandle(nullptr);
    ASSERT_TRUE(Platform::RegisterIconGroup(program, kGroup, {Solid(32, 0xFF204080u)}));
    WNDCLASS wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = program;
    wc.hIcon = LoadIcon(program, kGroup);
    wc.hCursor = LoadCursor(nullptr, IDC_HAND);
    wc.lpszClassName = "WithIcon";
    ASSERT_NE(RegisterClass(&wc), 0);
    HWND window = CreateWindowEx(0, "WithIcon", "icon", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, program, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Platform::Testing::GetWindowIcon(window), wc.hIcon);
    EXPECT_EQ(GetClassLongPtr(window, GCLP_HICON), reinterpret_cast<UINT_PTR>(wc.hIcon));
    EXPECT_EQ(GetClassLongPtr(window, GCLP_HCURSOR), reinterpret_cast<UINT_PTR>(wc.hCursor));
    EXPECT_EQ(GetClassLongPtr(window, 0), 0u);

    // Over the client area the default handling sets the class cursor.
    DefWindowProc(window, WM_SETCURSOR, WPARAM(window), MAKELPARAM(HTCLIENT, int(WM_MOUSEMOVE)));
    EXPECT_EQ(Platform::Testing::GetCurrentCursor(), wc.hCursor);

    HWND plain = MakeWindow();
    EXPECT_EQ(Platform::Testing::GetWindowIcon(plain), nullptr) << "a class without an icon";
    DestroyWindow(plain);
    DestroyWindow(window);
    EXPECT_EQ(GetClassLongPtr(window, GCLP_HICON), 0u);
}
