#pragma once
// The controls over the recording driver and the real sprite queue, with a
// manager whose input is injected frame by frame.

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"
#include "graphics/SpriteQueue.h"
#include "support/RecordingGraphics.h"

namespace ControlsTesting {

using namespace Engine::Controls;
using Engine::ref_ptr;
using Engine::Graphics::CSpriteQueue;
using Engine::Graphics::SpriteVertex;
using Engine::Graphics::Testing::CRecordingGraphics;

// Records every event it receives as (code, x, y); answers the codes it is
// told to refuse with false.
class CProbe : public CBaseControl {
public:
    struct CSeen {
        uint32_t code, x, y;
        CBaseControl* other;
        friend bool operator==(const CSeen&, const CSeen&) = default;
    };
    bool HandleEvent(ControlEvent& event) override {
        seen.push_back({event.code, uint32_t(event.x), uint32_t(event.y), event.other});
        if (std::find(refuses.begin(), refuses.end(), event.code) != refuses.end()) return false;
        return CBaseControl::HandleEvent(event);
    }
    std::vector<uint32_t> Codes() const {
        std::vector<uint32_t> codes;
        for (const CSeen& s : seen) codes.push_back(s.code);
        return codes;
    }
    std::vector<CSeen> seen;
    std::vector<uint32_t> refuses;
};

// One drawn quad: its corners and the colour of each vertex.
struct CQuad {
    float left, top, right, bottom;
    uint32_t colors[4];
    auto Key() const { return std::make_tuple(top, left, bottom, right); }
};

// A drawn quad as a solid box.
struct CBox {
    float left, top, width, height;
    uint32_t color;
    friend bool operator==(const CBox&, const CBox&) = default;
    friend std::ostream& operator<<(std::ostream& o, const CBox& b) {
        return o << "(" << b.left << "," << b.top << " " << b.width << "x" << b.height << " " << std::hex << b.color
                 << std::dec << ")";
    }
};

class ControlsFixture : public testing::Test {
protected:
    void SetUp() override {
        driver.GetParams().width = 800;
        driver.GetParams().height = 600;
        CSpriteQueue::SetDriver(&driver);
        ASSERT_TRUE(CSpriteQueue::CreateVertexBuffer());
        ASSERT_TRUE(CSpriteQueue::Init());
        manager = std::make_unique<CControlsManager>(&driver);
        manager->CreateDesktop(&driver);
        desktop = manager->GetDesktop();
        Frame();  // the first update only takes the snapshot
        driver.Clear();
    }

    void TearDown() override {
        desktop = nullptr;
        manager.reset();
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
    }

    template <class T = CProbe>
    ref_ptr<T> Make(CBaseControl::Ref parent, CRect r, uint32_t style = CS_VISIBLE | CS_CHILD, int32_t id = 0) {
        ref_ptr<T> control(new T);
        control->Create(manager.get(), parent ? parent : desktop, r.left, r.top, r.Width(), r.Height(), "", style, id);
        return control;
    }

    // One frame of input: the mouse at (x, y) with the buttons given.
    void Frame(int32_t x, int32_t y, std::array<uint8_t, 3> buttons = {}) {
        mouse.previousButtons = mouse.buttons;
        mouse.buttons = buttons;
        mouse.x = x;
        mouse.y = y;
        Frame();
    }
    void Frame() {
        manager->Update(keys.data(), mouse);
        manager->DispatchPostedEvents();
    }
    void Click(int32_t x, int32_t y) {
        Frame(x, y, {1, 0, 0});
        Frame(x, y);
    }

    // The vertices of each draw call so far.
    std::vector<std::vector<SpriteVertex>> DrawnVertices() const {
        std::vector<std::vector<SpriteVertex>> draws;
        for (const auto& call : driver.calls) {
            if (call.name != "gDraw") continue;
            auto& v = draws.emplace_back(call.vertices.size() / sizeof(SpriteVertex));
            if (!v.empty()) std::memcpy(v.data(), call.vertices.data(), call.vertices.size());
        }
        return draws;
    }
    // Every quad drawn so far, in draw order.
    std::vector<CQuad> Quads() const {
        std::vector<CQuad> quads;
        for (const auto& v : DrawnVertices()) {
            for (size_t i = 0; i + 3 < v.size(); i += 4)
                quads.push_back({v[i].x, v[i].y, v[i + 2].x, v[i + 2].y,
                                 {v[i].color, v[i + 1].color, v[i + 2].color, v[i + 3].color}});
        }
        return quads;
    }

    // The drawn quads as solid boxes, top to bottom, left to right.
    std::vector<CBox> Boxes() const {
        auto quads = Quads();
        std::sort(quads.begin(), quads.end(), [](const CQuad& a, const CQuad& b) { return a.Key() < b.Key(); });
        std::vector<CBox> boxes;
        for (const CQuad& q : quads) boxes.push_back({q.left, q.top, q.right - q.left, q.bottom - q.top, q.colors[0]});
        return boxes;
    }

    // The application the driver reports; none unless a test sets one.
    Engine::CApplication* application = nullptr;
    CRecordingGraphics driver{&application};
    std::unique_ptr<CControlsManager> manager;
    CBaseControl::Ref desktop;
    std::array<uint8_t, 256> keys{};
    Engine::Input::CMouseState mouse;
};

} // namespace ControlsTesting
