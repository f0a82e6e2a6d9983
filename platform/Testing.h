#pragma once
// Test hooks of the platform layer: a clock that tests advance, a display
// mode list that tests replace, simulated failures, and a way back to a clean
// state. Nothing in the engine calls these.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

namespace Platform::Testing {

// timeGetTime and the performance counter read the test clock (in
// microseconds) from UseTestClock until UseRealClock. It only moves forward.
void UseTestClock(int64_t startUs);
void AdvanceTestClock(int64_t us);
void UseRealClock();

// Operations that can be made to fail: the next `count` attempts fail.
enum class Failure {
    WindowCreation,  // CreateWindowEx returns null
    ThreadCreation,  // CreateThread returns null
    DisplayChange,   // ChangeDisplaySettings returns DISP_CHANGE_FAILED
    ClipboardOpen,   // OpenClipboard returns FALSE
    PixelFormat,     // ChoosePixelFormat returns 0
    GlContext,       // wglCreateContext returns null
    GlMakeCurrent,   // wglMakeCurrent with a context returns FALSE
    DibSection,      // CreateDIBSection returns null
    EventCreation,   // CreateEvent returns null
    Count
};
void FailNext(Failure failure, int count = 1);
// True (and one fewer pending) when the operation is to fail now.
bool ConsumeFailure(Failure failure);

struct CDisplayMode {
    DWORD width = 0, height = 0, refresh = 0, bitsPerPixel = 0;
    friend bool operator==(const CDisplayMode&, const CDisplayMode&) = default;
};
// Replaces the modes read from SDL's display; the desktop mode is also the
// current mode until a change.
void SetDisplayModes(std::vector<CDisplayMode> modes, CDisplayMode desktop);
// Back to SDL's display.
void UseSdlDisplayModes();

// Receives message boxes instead of the screen; returns the button id.
using MessageBoxHandler = std::function<int(const std::string& text, const std::string& caption, UINT type)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

// Runs when GetMessage finds the queue empty, instead of waiting for SDL
// events; GetMessage fails (-1) when the queue is still empty afterwards.
void SetIdleHandler(std::function<void()> handler);

// The operating-system version GetVersionEx reports (6.1 unless set).
void SetReportedVersion(DWORD major, DWORD minor);
// A value RegQueryConfigValue answers instead of its own; an empty optional
// makes the value missing.
void SetConfigValue(const std::string& key, const std::string& valueName, std::optional<std::string> value);

// Status queries and opens of this exact path (platform/FileAccess.h) fail
// with the errno given, as a failing disk would answer; 0 removes the fault.
void SetFileError(const std::string& path, int error);

// The cursor last set with SetCursor, and ShowCursor's display counter.
HCURSOR GetCurrentCursor();
int GetCursorDisplayCount();
// The pointer as shown: visible or not, and whether a picture cursor (the
// Direct3D 8 device's) stands in for the system cursor, with its A8R8G8B8
// picture (rows from the top), hot spot and client position.
struct CShownPointer {
    bool visible = false, picture = false;
    int width = 0, height = 0, hotX = 0, hotY = 0, x = 0, y = 0;
    std::vector<DWORD> pixels;
};
CShownPointer GetShownPointer();

// The number of LoadLibrary calls not yet matched by FreeLibrary.
int GetLibraryLoadCount(const char* name);
// LoadLibrary of this name fails while set.
void SetLibraryLoadFails(const char* name, bool fails);

// glGetString of this name (GL_VENDOR, GL_RENDERER, GL_VERSION,
// GL_EXTENSIONS) answers the given text instead of the implementation's;
// null goes back to the implementation.
void SetGlString(unsigned name, const char* text);
// glGetIntegerv of this single-valued name (GL_MAX_TEXTURE_SIZE) answers the
// given value instead of the implementation's; none goes back to it.
void SetGlInteger(unsigned name, std::optional<int> value);
// Whether wglGetProcAddress offers "wglSwapIntervalEXT" (it does unless set).
void SetSwapControlAvailable(bool available);
// The last swap interval set on any OpenGL context, by wglSwapIntervalEXT or
// by the Direct3D stand-ins' presentation (0: immediate, 1: at the
// retrace); -1 when never set.
int GetSwapInterval();
// The number of OpenGL contexts made and not yet deleted.
int GetGlContextCount();

// The picture shown in a window, as 0x00RRGGBB pixels, rows top-down: for
// a window drawn with GDI its SDL window surface; for an OpenGL window the
// framebuffer as the last buffer swap presented it, kept only while
// KeepSwappedPictures is on. False for a window without either.
bool ReadWindowPicture(HWND window, std::vector<uint32_t>& pixels, int& width, int& height);
// While on, every buffer swap of an OpenGL window (SwapBuffers and the
// Direct3D stand-ins' presentation) first reads the window's framebuffer
// for ReadWindowPicture; off (the default) forgets what was kept.
void KeepSwappedPictures(bool keep);

// Deletes every OpenGL context, destroys every window and class, empties the message queue and the
// clipboard, and restores every hook above (and the manual sound output of
// platform/DirectSound.h) to its default.
void Reset();

} // namespace Platform::Testing
