#include "platform/WindowFixture.h"

using namespace TestSupport;

namespace {

class WindowTest : public WindowFixture {};

// Stores the creation parameter in the window's storage, as the drivers do.
LRESULT StoringProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE)
        SetWindowLongPtr(window, 0, LONG_PTR(reinterpret_cast<CREATESTRUCT*>(lParam)->lpCreateParams));
    return RecordingProc(window, message, wParam, lParam);
}

LRESULT RefusingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RecordingProc(window, message, wParam, lParam);
    return message == WM_CREATE ? -1 : 0;
}

std::vector<UINT> Kinds(const std::vector<MSG>& messages) {
    std::vector<UINT> kinds;
    for (const MSG& msg : messages) kinds.push_back(msg.message);
    return kinds;
}

} // namespace

TEST_F(WindowTest, ProcedureSeesTheLifeOfAWindowInOrder) {
    WNDCLASS wc;
    wc.lpfnWndProc = StoringProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.lpszClassName = "Storing";
    ASSERT_NE(RegisterClass(&wc), 0);
    EXPECT_EQ(RegisterClass(&wc), 0) << "a second registration is refused";

    int driver = 0;
    HWND window = CreateWindowEx(0, "storing", "title", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, &driver);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongPtr(window, 0), LONG_PTR(&driver));
    EXPECT_EQ(Kinds(Received()), std::vector<UINT>{WM_CREATE}) << "sent before CreateWindowEx returns";

    ShowWindow(window, SW_SHOWNORMAL);
    EXPECT_EQ(GetActiveWindow(), window);
    PostMessage(window, WM_KEYDOWN, 'A', 0);
    PostMessage(window, WM_MOUSEWHEEL, 0, 0);
    PostMessage(window, WM_KEYUP, 'A', 0);
    Pump();
    Pump();
    DestroyWindow(window);
    EXPECT_EQ(Kinds(Received()), (std::vector<UINT>{WM_CREATE, WM_ACTIVATE, WM_KEYDOWN, WM_MOUSEWHEEL, WM_KEYUP,
                                                    WM_PAINT, WM_ACTIVATE, WM_DESTROY}));
    EXPECT_EQ(LOWORD(Received()[1].wParam), WA_ACTIVE);
    EXPECT_EQ(LOWORD(Received()[6].wParam), WA_INACTIVE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(PostMessage(window, WM_CLOSE, 0, 0));
    EXPECT_EQ(GetWindowLongPtr(window, 0), 0);
}

TEST_F(WindowTest, CreationFailures) {
    EXPECT_EQ(CreateWindowEx(0, "Nobody", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr), nullptr);

    Platform::Testing::FailNext(Platform::Testing::Failure::WindowCreation);
    EXPECT_EQ(CreateWindowEx(0, "Recording", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_TRUE(Received().empty()) << "a simulated failure sends nothing";
    EXPECT_NE(CreateWindowEx(0, "Recording", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr), nullptr);

    Received().clear();
    WNDCLASS wc;
    wc.lpfnWndProc = RefusingProc;
    wc.lpszClassName = "Refusing";
    RegisterClass(&wc);
    EXPECT_EQ(CreateWindowEx(0, "Refusing", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(Kinds(Received()), (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
}

TEST_F(WindowTest, WindowStorageRefusesBadIndices) {
    HWND window = MakeWindow();
    EXPECT_EQ(SetWindowLongPtr(window, 1, 5), 0) << "the slot would run past the storage";
    EXPECT_EQ(SetWindowLongPtr(window, -1, 5), 0);
    EXPECT_EQ(GetWindowLongPtr(window, 0), 0);
    SetWindowLongPtr(window, GWL_STYLE, LONG_PTR(WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(DWORD(GetWindowLongPtr(window, GWL_STYLE)), WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
}

TEST_F(WindowTest, QuitComesAfterQueuedMessagesAndPaintAfterQuit) {
    HWND window = MakeWindow();
    InvalidateRect(window, nullptr, FALSE);
    PostQuitMessage(3);
    PostMessage(window, WM_CHAR, 'x', 0);
    MSG msg;
    ASSERT_EQ(GetMessage(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_CHAR);
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) << "paint stays until the window is validated";
    EXPECT_EQ(msg.message, WM_PAINT);
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EXPECT_EQ(paint.rcPaint, (RECT{0, 0, 320, 200}));
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, GetMessageRunsTheIdleHandlerInsteadOfBlocking) {
    HWND window = MakeWindow();
    MSG msg;
    Platform::Testing::SetIdleHandler([] {});
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), -1);
    Platform::Testing::SetIdleHandler([window] { PostMessage(window, WM_CLOSE, 0, 0); });
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_CLOSE);
}

TEST_F(WindowTest, SizeAndPositionReachTheProcedure) {
    HWND window = MakeWindow(320, 200);
    SetWindowPos(window, HWND_NOTOPMOST, 10, 20, 400, 300, SWP_SHOWWINDOW);
    ASSERT_EQ(Only({WM_SIZE}).size(), 1u);
    EXPECT_EQ(Only({WM_SIZE})[0].lParam, MAKELPARAM(400, 300));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client, (RECT{0, 0, 400, 300}));
    POINT point{5, 6};
    ClientToScreen(window, &point);
    EXPECT_EQ(point, (POINT{15, 26}));
    ScreenToClient(window, &point);
    EXPECT_EQ(point, (POINT{5, 6}));

    ShowWindow(window, SW_SHOWMINIMIZED);
    GetClientRect(window, &client);
    EXPECT_EQ(client, RECT{}) << "a minimised window has no client area";
    ShowWindow(window, SW_SHOWNORMAL);
    GetClientRect(window, &client);
    EXPECT_EQ(client, (RECT{0, 0, 400, 300}));
    const std::vector<MSG> sizes = Only({WM_SIZE});
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_EQ(sizes[1].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(sizes[2].wParam, SIZE_RESTORED);
}

TEST_F(WindowTest, DefaultProcedureSetsTheClassCursor) {
    WNDCLASS wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hCursor = LoadCursor(nullptr, IDC_HAND);
    wc.lpszClassName = "Hand";
    RegisterClass(&wc);
    HWND window = CreateWindowEx(0, "Hand", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(SendMessage(window, WM_SETCURSOR, WPARAM(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(Platform::Testing::GetCurrentCursor(), LoadCursor(nullptr, IDC_HAND));
    EXPECT_EQ(SetCursor(LoadCursor(nullptr, IDC_ARROW)), LoadCursor(nullptr, IDC_HAND));
    EXPECT_EQ(LoadCursor(nullptr, IDC_CURSOR(IDC_HELP + 1)), nullptr);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
}
