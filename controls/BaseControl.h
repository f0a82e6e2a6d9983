#pragma once
// The base of every GUI widget: its place in the control tree, its window
// and client rectangles, style, ID, text and font, its frame with hit
// testing and drawing, the lifecycle that links it into the tree, event
// dispatch with default processing, and the tab order among its children.

#include <cstdint>
#include <span>
#include <vector>

#include "app/Geometry.h"
#include "app/Referenced.h"
#include "app/String.h"
#include "controls/ControlEvent.h"
#include "graphics/Font.h"

namespace Engine::Controls {

class CControlsManager;
class CRenderContext;
struct CControlDescription;

using Geometry::CPoint;
using Geometry::CRect;

// The style word; the low 16 bits belong to the subclasses.
enum ControlStyle : uint32_t {
    CS_CHILD = 0x40000000,
    CS_VISIBLE = 0x20000000,
    CS_CHECKED = 0x10000000,
    CS_TABSTOP = 0x08000000,
    CS_GROUP = 0x04000000,
    CS_DISABLED = 0x02000000,
    CS_UNCLIPPED_CHILDREN = 0x01000000,
    CS_BORDER = 0x00800000,
    CS_CLIENTEDGE = 0x00400000,
    CS_CAPTION = 0x00200000,
    CS_CAPTION_BUTTONS = 0x00100000,
    CS_DLGFRAME = 0x00080000,
    CS_THICKFRAME = 0x00040000,
    CS_INPUT_BLOCKED = 0x00020000,
};

enum ControlHitTest : uint32_t {
    HT_CLIENT = 1,
    HT_CAPTION = 2,
    HT_CLOSE = 3,  // caption buttons from the right
    HT_BUTTON2 = 4,
    HT_BUTTON3 = 5,
    HT_LEFT = 13,
    HT_RIGHT = 14,
    HT_TOP = 15,
    HT_TOPLEFT = 16,
    HT_TOPRIGHT = 17,
    HT_BOTTOM = 18,
    HT_BOTTOMLEFT = 19,
    HT_BOTTOMRIGHT = 20,
};

// A boolean description property and the style bit it sets or clears.
struct ControlStyleWord {
    const char* name;
    uint32_t bit;
};

// Limits of a frame resize, in client pixels.
struct ControlSizeLimits {
    int32_t minWidth = 64;
    int32_t minHeight = 0;
    int32_t maxWidth = 10000;
    int32_t maxHeight = 10000;
};

class CBaseControl : public Engine::CReferenced {
public:
    using Ref = Engine::ref_ptr<CBaseControl>;

    CBaseControl() = default;
    ~CBaseControl() noexcept(false) override;
    CBaseControl(const CBaseControl&) = delete;
    CBaseControl& operator=(const CBaseControl&) = delete;

    // Lifecycle.
    virtual void Initialize() {}
    virtual void ReadProperties();
    virtual bool OnCreate() { return false; }
    virtual bool OnChildCreated(Ref child) { (void)child; return false; }
    virtual bool OnCopy() { return false; }
    virtual bool OnPaste() { return false; }
    virtual bool OnCut() { return false; }
    // Reserved: one word each; false in every class.
    virtual bool ReservedFirstQuery(uint32_t) { return false; }
    virtual bool ReservedSecondQuery(uint32_t) { return false; }
    virtual bool OnCommand(uint32_t commandId, uint32_t code) { (void)commandId; (void)code; return false; }
    virtual bool OnMouseEnter() { return false; }
    virtual bool OnMouseLeave() { return false; }
    virtual bool OnSetCursor() { return false; }
    virtual bool OnSetCapture(Ref other) { (void)other; return false; }
    virtual bool OnCaptureCancelled() { return false; }
    virtual bool OnCaptureReleased() { return false; }
    // Mouse handlers: position, modifier flags, hit-test code.
    virtual bool OnLButtonDown(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnRButtonDown(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnMButtonDown(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnLButtonUp(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnRButtonUp(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnMButtonUp(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnNcLButtonDown(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnNcRButtonDown(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnNcMButtonDown(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnNcLButtonUp(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnNcRButtonUp(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnNcMButtonUp(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnMouseMove(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnNcMouseMove(int32_t, int32_t, uint32_t, uint32_t) { return false; }
    virtual bool OnKeyDown(uint32_t key, uint32_t flags) { (void)key; (void)flags; return false; }
    virtual bool OnKeyUp(uint32_t key, uint32_t flags) { (void)key; (void)flags; return false; }
    virtual bool OnChar(char16_t character, uint32_t flags) { (void)character; (void)flags; return false; }
    virtual uint32_t GetDlgCode() { return 0; }
    virtual void SetText(CString text) { m_text = std::move(text); }
    // Reserved: two words; 0 in every class.
    virtual int32_t ReservedTextOperation(uint32_t, uint32_t) { return 0; }

    // Builds the control at window position (x, y) with the given outer
    // size, links it under the parent and sends the creation events. A
    // control without a parent must already be held by the caller, or the
    // creation event's reference would be its last.
    virtual void Create(CControlsManager* manager, Ref parent, int32_t x, int32_t y, int32_t width, int32_t height,
                        CString text, uint32_t style, int32_t id);
    // Create with the rectangle of the description (relative to the
    // parent's description when given), then ReadProperties.
    virtual void CreateFromDescription(CControlsManager* manager, Ref parent, const CControlDescription* description,
                                       const CControlDescription* parentDescription, CString text, uint32_t style,
                                       int32_t id);
    // The per-step hook: running time and step length in seconds.
    virtual void Update(double time, double step) { (void)time; (void)step; }
    virtual void Draw(CRenderContext& context) { DrawChildren(context); }
    virtual void DrawNonClient(CRenderContext& context);
    // (x, y) relative to the window rectangle's top-left corner.
    virtual uint32_t HitTest(int32_t x, int32_t y);
    // Grows a client rectangle to the window rectangle of the style.
    virtual void AdjustWindowRect(CRect& rect);
    virtual void OnGetMinMaxInfo(ControlSizeLimits& limits) { (void)limits; }
    virtual void OnSize(int32_t width, int32_t height) { (void)width; (void)height; }
    // Reserved: two words; does nothing in every class.
    virtual void ReservedSizeOperation(uint32_t, uint32_t) {}
    virtual void OnEnterSizeMove(int32_t width, int32_t height) { (void)width; (void)height; }
    virtual void OnSizing(CPoint& size) { (void)size; }
    virtual void OnExitSizeMove(int32_t width, int32_t height) { (void)width; (void)height; }
    // Calls the handler of the event's code; what it leaves unhandled gets
    // default processing and rises to the parent.
    virtual bool HandleEvent(ControlEvent& event);

    // Sending: at once, holding a reference to the target for the call.
    static bool SendEvent(Ref target, ControlEvent& event);
    static bool SendNotify(Ref target, Ref sender, int32_t code, Ref extra = nullptr);
    static bool SendCommand(Ref target, Ref sender, uint32_t code);

    // Destroys the subtree; when the focus was inside it, the focus goes to
    // the former parent.
    void Destroy();
    bool IsDestroyed() const { return m_bDestroyed; }

    // Children.
    int32_t GetChildCount() const { return int32_t(m_children.size()); }
    // Null for an index outside the list.
    Ref GetChild(int32_t index) const;
    Ref FindChildByID(int32_t id) const;
    bool HasVisibleChild() const;
    Ref GetNextChild(const CBaseControl* child, bool wrap) const;
    Ref GetPrevChild(const CBaseControl* child, bool wrap) const;
    // True for none, this control or one of its ancestors.
    bool IsDescendantOf(const CBaseControl* control) const;
    Engine::ref_ptr<Graphics::CFont> GetFont() const;
    void SetFont(Engine::ref_ptr<Graphics::CFont> font) { m_pFont = std::move(font); }
    Ref GetParent() const { return m_pParent; }

    // Geometry.
    // The window rectangle in screen coordinates.
    CRect ClientToScreen() const;
    // The window rectangle shrunk by the frame widths.
    void ClientRectFromWindowRect(CRect& rect);
    void SetWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // The deepest visible control under a screen point, or null.
    Ref ControlFromPoint(int32_t x, int32_t y);

    // Tab order, groups and directional navigation among the children.
    Ref GetNextTabStop(const CBaseControl* control, bool wrap) const;
    Ref GetPrevTabStop(const CBaseControl* control, bool wrap) const;
    Ref GetNextTabFromFocus() const;
    Ref GetPrevTabFromFocus() const;
    using TabScore = int64_t (*)(const CBaseControl& reference, const CBaseControl& candidate);
    Ref FindNearestTabStop(const CBaseControl& reference, TabScore score) const;
    Ref FindTabStopLeft(const CBaseControl& reference) const;
    Ref FindTabStopRight(const CBaseControl& reference) const;
    Ref FindTabStopAbove(const CBaseControl& reference) const;
    Ref FindTabStopBelow(const CBaseControl& reference) const;
    Ref GetFirstOfGroup(const CBaseControl* control) const;
    Ref GetLastOfGroup(const CBaseControl* control) const;
    // Checks this control and clears every other member of its group.
    void CheckRadioInGroup(CBaseControl& parent);
    Ref FindDefaultButton() const;

    // State.
    bool HasFocus() const;
    bool IsHovered() const;
    // Input is blocked by style bit CS_INPUT_BLOCKED on the control or on the
    // nearest ancestor that is not a child control.
    bool IsInputBlocked() const;
    // Clears the visible bit of every child.
    void HideChildren();
    void DrawChildren(CRenderContext& context);

    const CRect& GetWindowRect() const { return m_windowRect; }
    const CRect& GetClientRect() const { return m_clientRect; }
    const CPoint& GetClientOrigin() const { return m_clientOrigin; }
    const CString& GetText() const { return m_text; }
    CWString GetTextW() const { return Utf8ToWide(m_text); }
    uint32_t GetStyle() const { return m_style; }
    void SetStyle(uint32_t style) { m_style = style; }
    bool HasStyle(uint32_t bits) const { return (m_style & bits) != 0; }
    int32_t GetID() const { return m_id; }
    CControlsManager* GetManager() const { return m_pManager; }
    const CControlDescription* GetDescription() const { return m_pDescription; }
    uint32_t GetTracking() const { return m_tracking; }
    uint32_t GetPressedCaptionButtons() const { return m_pressedCaptionButtons; }
    const CRect& GetFocusRect() const { return m_focusRect; }
    void SetFocusRect(const CRect& rect) { m_focusRect = rect; }
    const CPoint& GetPositionAccumulator() const { return m_position; }

protected:
    // Sets or clears each word's bit where the description has the word.
    void ReadStyleWords(std::span<const ControlStyleWord> words);
    static void AddChild(CBaseControl& parent, Ref child);
    static void RemoveChild(CBaseControl& parent, const CBaseControl* child);
    void DestroyTree(bool& focusInside);
    bool DefaultProcessing(ControlEvent& event);
    bool CommonTail(ControlEvent& event);
    bool DispatchToHandler(ControlEvent& event);
    // The frame drag (moving by the caption, resizing by the borders).
    void StartDrag(const ControlEvent& event);
    bool ContinueDrag(const ControlEvent& event);
    void EndDrag(bool releaseCapture);
    // The frame insets of the style (border, edges, frames; no caption).
    int32_t FrameInset() const;
    Ref WalkTabStops(const CBaseControl* control, bool wrap, bool forward) const;
    void CaptionButtonSize(int32_t& width, int32_t& height) const;

    CPoint m_position;
    Ref m_pParent;
    std::vector<Ref> m_children;
    CRect m_windowRect;
    CRect m_clientRect;
    CPoint m_clientOrigin;
    CString m_text;
    uint32_t m_style = 0;
    int32_t m_id = 0;
    Engine::ref_ptr<Graphics::CFont> m_pFont;
    CRect m_focusRect;
    uint32_t m_pressedCaptionButtons = 0;
    uint32_t m_tracking = 0;
    const CControlDescription* m_pDescription = nullptr;
    CControlsManager* m_pManager = nullptr;
    bool m_bDestroyed = false;
};

} // namespace Engine::Controls
