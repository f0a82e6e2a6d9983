#pragma once
// The one object that connects the GUI controls to the engine: it turns the
// frame's key and mouse state into control events, holds the capture,
// focus, hover and active menu, runs the controls' timers and the queue of
// posted events, and keeps the desktop, the colour scheme and the metrics.

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "app/Input.h"
#include "app/Referenced.h"
#include "controls/BaseControl.h"
#include "controls/ControlEvent.h"
#include "controls/Timer.h"
#include "graphics/Font.h"

namespace Engine::Graphics {
class CGraphics;
}

namespace Engine::Controls {

class CControlsDrawing;
class CDesktop;

// The manager's snapshot of keys and mouse, refreshed by each Update.
struct ControlsInputState {
    std::array<uint8_t, 256> keys{};
    std::array<uint8_t, 256> previousKeys{};
    std::array<uint8_t, 256> keysPressed{};
    std::array<uint8_t, 256> keysReleased{};
    uint8_t firstUpdate = 1;
    std::array<uint8_t, 3> previousButtons{};
    std::array<uint8_t, 3> buttons{};
    std::array<uint8_t, 3> buttonsPressed{};
    std::array<uint8_t, 3> buttonsReleased{};
    CPoint previousPosition;
    CPoint position;
    CPoint previousMotion;
    CPoint motion;
};

// Keyboard input not yet turned into events.
struct KeyRecord {
    enum Type : uint32_t { KEY_DOWN = 0, KEY_UP = 1, CHARACTER = 2 };
    uint32_t type = KEY_DOWN;
    uint32_t key = 0;
    char16_t character = 0;
};

enum ControlsMetric : int {
    METRIC_THUMB_LENGTH = 0,
    // Also the length of a slider's end buttons along its axis.
    METRIC_SCROLLBAR_WIDTH = 1,
    // The combo box's row, and the thickness of a slider's end buttons
    // across its axis.
    METRIC_ROW_HEIGHT = 2,
    METRIC_ARROW_THICKNESS = METRIC_ROW_HEIGHT,
    METRIC_CHECK_WIDTH = 3,
    METRIC_FIFTH = 4,
    METRIC_CHECK_GAP = 5,
    METRIC_CAPTION_HEIGHT = 6,
    METRIC_COUNT = 7,
};

enum ControlsTiming : int {
    TIMING_FIRST = 0,
    TIMING_SECOND = 1,
    TIMING_REPEAT_DELAY = 2,
    TIMING_REPEAT_INTERVAL = 3,
    TIMING_BLINK_PERIOD = 4,
    TIMING_COUNT = 5,
};

class CControlsManager {
public:
    using Ref = CBaseControl::Ref;
    static constexpr size_t kKeyQueueLimit = 16;
    static constexpr int kSysColorCount = 28;

    explicit CControlsManager(Graphics::CGraphics* graphics);
    // Destroys the control tree first, then drops timers and posted events.
    ~CControlsManager();
    CControlsManager(const CControlsManager&) = delete;
    CControlsManager& operator=(const CControlsManager&) = delete;

    // Makes the desktop the size of the driver's screen, the focus, and
    // sets the colour scheme, timings and metrics. Always true.
    bool CreateDesktop(Graphics::CGraphics* graphics);

    // The per-frame input step: the keys (256 bytes by key code) and the
    // mouse as polled this frame. Key records go to their target; mouse
    // events are posted, hover and focus changes sent at once.
    void Update(const uint8_t* keys, const Input::CMouseState& mouse);
    void ProcessMouse();
    void UpdateCursor();
    // The per-step tick: focus-rectangle blink, timers, posted events, then
    // every control's Update, parents before children.
    void Tick(double time, double step);
    void UpdateTimers(double time);
    // Sends every posted event in posting order, also those posted while
    // the queue is being emptied. Events whose target has been destroyed
    // meanwhile are dropped.
    void DispatchPostedEvents();
    void PostEvent(const ControlEvent& event, Ref target);
    size_t GetPostedEventCount() const { return m_posted.size(); }

    // Keeps the newest 16 records when nothing takes them.
    void PostKeyEvent(const KeyRecord& record);
    // Turns the key queue into posted events for the target and empties it.
    void FlushKeyQueue(Ref target);
    const std::deque<KeyRecord>& GetKeyQueue() const { return m_keyQueue; }

    Engine::ref_ptr<CTimer> AddTimer(Ref owner, double interval);
    void RemoveTimer(const CTimer* timer);
    // Drops the timers of a control that is being destroyed.
    void RemoveTimersOf(const CBaseControl* owner);
    int32_t GetTimerCount() const { return int32_t(m_timers.size()); }
    Engine::ref_ptr<CTimer> GetTimer(int32_t index) const;

    void SetCapture(Ref control, bool cancel);
    void SetCaptureTo(Ref control) { SetCapture(std::move(control), false); }
    void ReleaseCapture() { SetCapture(nullptr, false); }
    // False when the old or the new control refused the change.
    bool SetFocus(Ref control);
    void SetHover(Ref control);
    void SetFocusOwner(Ref control) { m_pFocusOwner = std::move(control); }
    void SetActiveMenu(Ref control) { m_pActiveMenu = std::move(control); }
    Ref ControlFromPoint(int32_t x, int32_t y) const;

    const Ref& GetCapture() const { return m_pCapture; }
    const Ref& GetFocus() const { return m_pFocus; }
    // Forgets the focus without asking its holder (a control being destroyed).
    void DropFocus() { m_pFocus = nullptr; }
    const Ref& GetHover() const { return m_pHover; }
    const Ref& GetActiveMenu() const { return m_pActiveMenu; }
    const Ref& GetFocusOwner() const { return m_pFocusOwner; }
    Ref GetDesktop() const;
    Graphics::CGraphics* GetGraphics() const { return m_pGraphics; }
    CControlsDrawing* GetDrawing() const { return m_pDrawing.get(); }
    const ControlsInputState& GetInputState() const { return m_input; }
    // The modifier flags of the current key state.
    uint32_t GetModifierFlags() const;

    uint32_t GetSysColor(int index) const;
    int32_t GetMetric(int index) const { return m_metrics[size_t(index)]; }
    // Overrides what CreateDesktop set; controls read it when they next lay
    // themselves out.
    void SetMetric(int index, int32_t value) { m_metrics[size_t(index)] = value; }
    double GetTiming(int index) const { return m_timings[size_t(index)]; }
    int32_t GetCaptionHeight() const { return m_metrics[METRIC_CAPTION_HEIGHT]; }
    uint32_t GetFocusRectColor() const { return m_focusRectColor; }
    bool IsFocusRectShown() const { return m_bFocusRectShown; }
    int32_t GetCursor() const { return m_cursor; }
    void SetCursor(int32_t cursor) { m_cursor = cursor; }
    // Restarts the focus-rectangle blink at the next tick.
    void RestartBlink() { m_bBlinkRestart = true; }
    // The symbol font of the frame glyphs; none skips the glyphs.
    const Engine::ref_ptr<Graphics::CFont>& GetSymbolFont() const { return m_pSymbolFont; }
    void SetSymbolFont(Engine::ref_ptr<Graphics::CFont> font) { m_pSymbolFont = std::move(font); }

private:
    struct CPostedEvent {
        ControlEvent event;
        Ref target;
    };

    void TakeSnapshot(const uint8_t* keys, const Input::CMouseState& mouse);
    Ref ChooseKeyTarget() const;
    bool IsInsideActiveMenu(const CBaseControl* control) const;
    void PostMouseEvent(uint32_t code, const Ref& target, int32_t x, int32_t y);
    void UpdateTree(CBaseControl& control, double time, double step);
    // Moves capture or hover: the lost event to the old holder, the gained
    // event to the new one.
    static void MoveHolder(Ref& holder, Ref control, uint32_t lostCode, uint32_t gainedCode);

    Ref m_pCapture;
    Ref m_pFocus;
    Ref m_pHover;
    Ref m_pActiveMenu;
    Ref m_pFocusOwner;
    double m_blinkPhase = 0.0;
    bool m_bBlinkRestart = true;
    bool m_bFocusRectShown = false;
    int32_t m_cursor = 1;
    Engine::ref_ptr<CDesktop> m_pDesktop;
    Graphics::CGraphics* m_pGraphics;
    std::array<uint32_t, kSysColorCount> m_sysColors{};
    std::array<double, TIMING_COUNT> m_timings{};
    uint32_t m_focusRectColor = 0;
    std::array<int32_t, METRIC_COUNT> m_metrics{};
    std::deque<CPostedEvent> m_posted;
    ControlsInputState m_input;
    std::unique_ptr<CControlsDrawing> m_pDrawing;
    std::vector<Engine::ref_ptr<CTimer>> m_timers;
    std::deque<KeyRecord> m_keyQueue;
    Engine::ref_ptr<Graphics::CFont> m_pSymbolFont;
};

} // namespace Engine::Controls
