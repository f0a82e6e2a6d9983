#pragma once
// Internal links between the parts of the platform layer.

#include <SDL.h>

#include <array>
#include <string>
#include <vector>

#include "platform/Library.h"
#include "platform/Messages.h"
#include "platform/Window.h"

namespace Platform::Detail {

// Keyboard layout (Keyboard.cpp).
struct CKeyInfo {
    WORD scanCode = 0;  // set-1 scan code, 0xE0xx for extended keys
    BYTE virtualKey = 0;  // left/right specific for the modifiers
};
// False for keys the layout does not know.
bool LookupSdlKey(SDL_Scancode scancode, SDL_Keycode keycode, CKeyInfo& key);
// VK_LSHIFT/VK_RSHIFT -> VK_SHIFT and so on; other keys unchanged.
BYTE SharedVirtualKey(BYTE virtualKey);
// The keys as the SDL events say.
void SetPhysicalKey(BYTE virtualKey, bool down);
bool IsPhysicalKeyDown(BYTE virtualKey);
// A copy of the physical keys, and a key set in such a copy as the events
// set it (a sided modifier sets its shared key too).
std::array<BYTE, 256> CopyPhysicalKeys();
void SetKeyState(std::array<BYTE, 256>& keys, BYTE virtualKey, bool down);
// The keys as the messages taken from the queue say.
bool IsKeyDown(BYTE virtualKey);
void ApplyInputMessage(UINT message, WPARAM wParam, LPARAM lParam);
void ResetKeyboard();

// Names of classes and libraries compare without case.
std::string LowerCase(const char* text);

// Message queue (Messages.cpp).
void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The posted messages in queue order, and whether a quit was posted.
std::vector<MSG> CopyPostedMessages(bool* quitPending);
void DropMessagesFor(HWND window);
void ResetMessages();

// Event translation (Events.cpp).
void ResetEvents();

// Windows (Window.cpp).
WNDPROC GetWindowProc(HWND window);
// Whether the window was made for OpenGL (its class has CS_OWNDC); SDL's
// own flag does not tell, since its window surfaces may use OpenGL too.
bool IsOpenGlWindow(HWND window);
// The first window (in creation order) that needs painting, or null.
HWND FindWindowToPaint(HWND filter);
void SetCursorScreenPos(POINT point);
// Activation change from SDL focus events or ShowWindow.
void ActivateWindow(HWND window);
void DeactivateWindow(HWND window);
// Re-applies full-screen state to every window after a display change.
void SyncFullscreenWindows();
bool TakeMouseLeaveRequest(HWND window);
void SetMinimized(HWND window, bool minimized);
// The window was moved or resized by the window manager.
void MoveWindowRect(HWND window, const RECT& rect);
RECT GetWindowScreenRect(HWND window);
// Posts WM_CLOSE to every window.
void CloseAllWindows();
void ResetWindows();

// Display (Display.cpp).
struct CCurrentMode {
    int width = 0, height = 0;
    bool fullscreen = false;  // a full-screen change is in force
    bool isDesktop = true;    // the mode is the desktop's size
};
CCurrentMode GetCurrentMode();
// The one way into a full-screen mode, shared by the Direct3D stand-ins
// with ChangeDisplaySettings' callers: the display takes the listed mode
// (refresh 0: any) and the window is moved to cover it. False when the
// display refuses it; nothing changes then.
bool EnterFullScreenMode(HWND window, DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refresh);
void ResetDisplay();

// DirectInput (DirectInput.cpp).
void FeedDirectInputKey(BYTE index, bool down);
void FeedDirectInputMouseMotion(int dx, int dy);
void FeedDirectInputMouseWheel(int delta);
void FeedDirectInputMouseButton(int button, bool down);
void OnDirectInputWindowDeactivated(HWND window);
void ResetDirectInput();

// OpenGL contexts (Wgl.cpp).
// Asks SDL for the framebuffer every OpenGL window gets; called before such
// a window is made.
void PrepareGlWindow();
// Sets the current context's swap interval (0: immediate, 1: wait for the
// retrace); what GetSwapInterval reports. False when the driver refuses.
bool SetGlSwapInterval(int interval);
void ResetWgl();

// Direct3D 8 (Direct3D8.cpp).
std::vector<CLibraryEntry> Direct3D8LibraryEntries();
void ResetDirect3D8();

// DirectDraw 7 (DirectDraw7.cpp).
std::vector<CLibraryEntry> DirectDrawLibraryEntries();
void ResetDirectDraw();

// Memory device contexts and bitmaps (Gdi.cpp).
void ResetGdi();

// Buffer swaps of OpenGL windows (SwappedPictures.cpp): every swap goes
// through SwapGlWindow, which first keeps the picture when tests ask.
void SwapGlWindow(SDL_Window* window);
bool FindSwappedPicture(SDL_Window* window, std::vector<uint32_t>& pixels, int& width, int& height);
void ResetSwappedPictures();

// A picture cursor (Cursor.cpp), the Direct3D 8 device's: A8R8G8B8 pixels,
// rows from the top. While shown it is the pointer, in place of the system
// cursor; hidden, the system cursor's state applies again.
struct CPictureCursor {
    std::vector<DWORD> pixels;
    int width = 0, height = 0, hotX = 0, hotY = 0;
};
void SetPictureCursor(CPictureCursor picture);
void ShowPictureCursor(bool show);
// (x, y) in the device window's client area. The window system draws the
// picture at the pointer, and the engine passes the pointer's position: it
// is recorded, never warped to (a warp is a mouse move, which ends the
// screensaver).
void MovePictureCursor(int x, int y);
void ResetCursor();
void ResetClipboard();
void ResetLibraries();
void ResetSystem();
// Hardware-configuration registry values (Registry.cpp).
void ResetRegistry();
// Injected file errors (FileAccess.cpp).
void ResetFileAccess();
void ResetMessageBox();
void ResetFailures();

} // namespace Platform::Detail
