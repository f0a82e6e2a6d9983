#pragma once
// The application object as the drivers see it: the window handle, the
// per-frame flags the message pump clears, and the notifications the window
// procedure and the drivers send. The standard application overrides them.

#include <cstdint>

#include "app/FrameQuitWatch.h"
#include "platform/WinTypes.h"

namespace Engine {

namespace Graphics {
struct CGraphicsParams;
}
namespace KeyFramer {
class CEndlessTimeSpan;
}
class IGameData;

class CApplication {
public:
    CApplication() = default;
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;
    virtual ~CApplication() = default;

    // The per-frame input flags, by what raised them.
    enum EFrameInput { FRAME_INPUT_KEY, FRAME_INPUT_CHAR, FRAME_INPUT_MOUSE, FRAME_INPUT_WHEEL };

    // The window procedure delivers input through these: each raises its
    // frame flag before the handler runs, so no override can skip it.
    void NotifyKeyDown(int keyCode) { Raise(FRAME_INPUT_KEY); OnKeyDown(keyCode); }
    void NotifyKeyUp(int keyCode) { Raise(FRAME_INPUT_KEY); OnKeyUp(keyCode); }
    void NotifyChar(char16_t ch) { Raise(FRAME_INPUT_CHAR); OnChar(ch); }
    void NotifyMouseMove(int x, int y) { Raise(FRAME_INPUT_MOUSE); OnMouseMove(x, y); }
    void NotifyMouseButtonDown(int button) { Raise(FRAME_INPUT_MOUSE); OnMouseButtonDown(button); }
    void NotifyMouseButtonUp(int button) { Raise(FRAME_INPUT_MOUSE); OnMouseButtonUp(button); }
    void NotifyMouseWheel(int delta) { Raise(FRAME_INPUT_WHEEL); OnMouseWheel(delta); }

    // From the window procedure.
    virtual void OnActivate(bool active) { m_bActive = active ? 1 : 0; }
    virtual void OnKeyDown(int keyCode) { (void)keyCode; }
    virtual void OnKeyUp(int keyCode) { (void)keyCode; }
    virtual void OnChar(char16_t ch) { (void)ch; }
    virtual void OnMouseWheel(int delta) { (void)delta; }
    virtual void OnMouseButtonDown(int button) { (void)button; }
    virtual void OnMouseButtonUp(int button) { (void)button; }
    virtual void OnMouseMove(int x, int y) { (void)x; (void)y; }
    virtual void OnMouseLeave() {}
    virtual void OnMouseEnter() {}
    virtual void Pause(bool pause) { m_bPaused = pause ? 1 : 0; }
    virtual void OnAltEnter() {}

    // From the drivers.
    virtual void OnAdjustGraphicsParams(Graphics::CGraphicsParams* params) { (void)params; }
    virtual void OnGraphicsWindowCreated() {}
    virtual void OnGraphicsCreate() {}
    virtual void OnGraphicsDestroy() {}
    virtual void OnLoadingProgress(int total, int current) { (void)total; (void)current; }
    virtual void OnGraphicsRestored() {}

    bool IsActive() const { return m_bActive != 0; }
    // The running game's data for the game controls; null when there is none.
    virtual IGameData* GetGameData() { return nullptr; }
    // The application's time base, a root time span kept for the
    // application's whole life by the layer that can make one; null here.
    virtual KeyFramer::CEndlessTimeSpan* GetTimeBase() { return nullptr; }
    // The frame's quit watch (FrameQuitWatch.h): the frame loop starts it
    // and gives it its probe; the heavy loops of the libraries check it.
    CFrameQuitWatch& GetQuitWatch() { return m_quitWatch; }

    HWND m_hWnd = nullptr;
    uint8_t m_bActive = 0;
    // While set, the window procedure does not present on WM_PAINT.
    uint8_t m_bPaused = 0;
    // Non-zero keeps the system cursor visible inside the client area.
    int32_t m_nSystemCursor = 0;
    // Cleared by every message pump, raised by the input it delivers (by
    // EFrameInput); mouse input keeps the pump from waiting while the
    // application is inactive.
    uint8_t m_frameInputFlags[4] = {0, 0, 0, 0};

private:
    CFrameQuitWatch m_quitWatch;

    void Raise(EFrameInput flag) { m_frameInputFlags[flag] = 1; }
};

} // namespace Engine
