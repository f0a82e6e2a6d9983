// A frame of a place file walks the lists made at loading: Draw gives the
// driver and the emitters exactly what drawing every layer in turn gives,
// with empty layers anywhere, and Update steps the top-level particle
// objects in layer and object order.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "app/Application.h"
#include "placefile/PlaceGroupObject.h"
#include "placefile/PlaceSpriteObject.h"
#include "placefile/PlaceVexaObject.h"
#include "tests/placefile/PlaceFileFixture.h"

using namespace PlaceTest;
namespace Graphics = Engine::Graphics;

namespace {

// One string a layer: "" is empty, '!' first clears BatchSprites; 's' a
// sprite, 'p' a particle object, 'g' a group of a particle, a sprite and a
// spline; drawing nothing: 'l' a spline, '3' a sprite of code 3, 'n' a group
// of a spline.
using CLayout = std::vector<std::string>;
enum class EQueue { Empty, Holding, Stopped };  // as the draw starts
using CTrace = std::tuple<std::vector<std::string>, std::vector<std::string>, int>;

// Every object of every layer in turn, as a layer's drawing is defined.
void DrawEveryObject(const CPlaceFile& place) {
    const SpriteFlushParams params;
    for (const auto& layer : place.Layers) {
        [&] {
            for (const auto& object : layer->Objects) {
                if (Graphics::CSpriteQueue::IsFrameStopped()) return;
                if (object->Type == PLACE_GROUP)
                    for (const auto& child : static_cast<CPlaceGroupObject&>(*object).Children)
                        child->Draw(params, 3.0f, 4.0f, false, 0.5f);
                if (object->Type == PLACE_PARTICLES) {
                    FlushSpriteQueue(params);
                    static_cast<CPlaceVexaObject&>(*object).Render(3.0f, 4.0f);
                }
                auto* sprite = dynamic_cast<CPlaceSpriteObject*>(object.get());
                if (object->Type != PLACE_SPRITE || !sprite->Sprite || !sprite->Visible) continue;
                sprite->QueueAt(params, 3.0f, 4.0f, 0.5f);
                if (!layer->BatchSprites) FlushSpriteQueue(params);
            }
            FlushSpriteQueue(params);
        }();
    }
}

class PlaceFrameWalk : public PlaceFileFixture {
protected:
    PlaceFrameWalk() {
        application = &app;
        graphics->StartQuadCountdown();
    }
    // Emitters are numbered in reading order; each tells the journal.
    ref_ptr<CPlaceFile> Load(const CLayout& layout, const char* name) {
        Tools::CPlaceDocument doc;
        doc.spriteFiles = {{"spr/place.spr", {{1, "box"}}}};
        doc.effectFiles = {"fx/a.vexa"};
        doc.nextEmitterId = 1;
        doc.emitters = {{0, "fx/a.vexa", "spark"}};
        uint32_t id = 0;
        for (const std::string& text : layout) {
            Tools::CPlaceLayerDoc& layer = doc.layers.emplace_back();
            layer.flags = text.starts_with('!') ? 0 : 0x04;
            for (char kind : text.substr(text.starts_with('!'))) {
                const std::map<char, uint32_t> types{{'s', 1}, {'l', 2}, {'3', 3}, {'g', 4}, {'n', 4}, {'p', 6}};
                auto& object = layer.objects.emplace_back(Object(types.at(kind), ++id, 0, 0, 8, 8));
                if (kind == 'g') object.children = {Object(6, 100 + id), Object(1, 200 + id, 0, 0, 8, 8)};
                if (kind == 'g' || kind == 'n') object.children.push_back(Object(2, 300 + id));
                object.spriteId = 1;
                for (auto& child : object.children) child.spriteId = 1;
            }
        }
        Write(name, Tools::WritePlace(doc));
        auto& emitters = effects->emitters;
        const size_t first = emitters.size();
        ref_ptr<CPlaceFile> place = local->GetPlaceFile(name);
        for (size_t i = first; i < emitters.size(); ++i)
            emitters[i]->observer = [this, i = i - first](const char* what) {
                journal.push_back(what + (" " + std::to_string(i)) + " @" + std::to_string(graphics->calls.size()));
            };
        Graphics::SprFile::CSprFile& file = *place->SpriteFiles.at(0).file;
        box = file.CreateSprite(*file.FindSprite("box"));
        return place;
    }
    // The driver's calls, the journal and what the queue holds afterwards.
    CTrace Trace(EQueue queue, const std::function<void()>& frame) {
        Engine::CFrameQuitWatch& watch = app.GetQuitWatch();
        watch.StartFrame();
        Graphics::CSpriteQueue::Flush({});  // what a stopped frame left
        graphics->Clear();
        journal.clear();
        if (queue != EQueue::Empty) Graphics::CSpriteQueue::QueueSpriteAt({}, *box, 1, 2, 0xFFFFFFFFu);
        watch.SetTimeGate(false);
        watch.SetProbe([] { return true; });
        if (queue == EQueue::Stopped) watch.Check();
        watch.SetProbe(nullptr);
        frame();
        std::vector<std::string> calls;
        for (const auto& call : graphics->calls) {
            calls.push_back(call.name + std::string(call.vertices.begin(), call.vertices.end()));
            for (double arg : call.args) calls.back() += " " + std::to_string(arg);
        }
        return {calls, journal, Graphics::CSpriteQueue::GetCount()};
    }

    Engine::CApplication app;
    CFakeParticles particles;
    ref_ptr<CFakeEffectFile> effects = particles.Add("fx/a.vexa", {"spark"});
    std::vector<std::string> journal;
    std::unique_ptr<Graphics::SprFile::CSpriteRef> box;  // of the last file loaded
};

class PlaceFrameWalkDraw : public PlaceFrameWalk, public testing::WithParamInterface<std::tuple<CLayout, EQueue>> {};

TEST_P(PlaceFrameWalkDraw, GivesWhatDrawingEveryLayerGives) {
    const auto& [layout, queue] = GetParam();
    const ref_ptr<CPlaceFile> place = Load(layout, "place/walk.place");
    place->Draw(3.0f, 4.0f, 0.5f);  // the driver's states settle
    const CTrace everyLayer = Trace(queue, [&] { DrawEveryObject(*place); });
    const CTrace drawn = Trace(queue, [&] { place->Draw(3.0f, 4.0f, 0.5f); });
    EXPECT_EQ(drawn, everyLayer);
    EXPECT_EQ(Trace(queue, [&] {
        for (const auto& layer : place->Layers) layer->Draw(3.0f, 4.0f, 0.5f);
    }), everyLayer);
    if (queue != EQueue::Empty) return;
    // With nothing queued before it, empty layers change nothing at all.
    CLayout filled;
    std::copy_if(layout.begin(), layout.end(), std::back_inserter(filled), [](const auto& l) { return !l.empty(); });
    const ref_ptr<CPlaceFile> without = Load(filled, "place/filled.place");
    EXPECT_EQ(Trace(queue, [&] { without->Draw(3.0f, 4.0f, 0.5f); }), drawn);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PlaceFrameWalkDraw,
                         testing::Combine(testing::Values(CLayout{"s", "ps"}, CLayout{"", "ss"},
                                                          CLayout{"sp", "", "", "!ss"}, CLayout{"sg", "", ""},
                                                          CLayout{"", "", ""}, CLayout{}, CLayout{"l", "3n"},
                                                          CLayout{"", "s", "", "", "!sps", "", "g", ""},
                                                          CLayout{"ln", "sl", "", "3", "l", "lgl3", "", "l"}),
                                          testing::Values(EQueue::Empty, EQueue::Holding, EQueue::Stopped)));

TEST_F(PlaceFrameWalk, UpdateStepsTopLevelParticlesAndFollowsADeclaredChange) {
    const ref_ptr<CPlaceFile> place = Load({"p", "", "gsp", "", "pp", "g"}, "place/walk.place");
    Trace(EQueue::Empty, [&] { place->Update(1.0, 0.5); });
    EXPECT_EQ(journal, (std::vector<std::string>{"Update 0 @0", "Update 2 @0", "Update 3 @0", "Update 4 @0"}));
    // Changed by hand after loading: followed once declared.
    place->Layers.erase(place->Layers.begin());
    std::swap(place->Layers[0], place->Layers[3]);
    place->InvalidateLayout();
    Trace(EQueue::Empty, [&] { place->Update(1.0, 0.5); });
    EXPECT_EQ(journal, (std::vector<std::string>{"Update 3 @0", "Update 4 @0", "Update 2 @0"}));
    const CTrace everyLayer = Trace(EQueue::Holding, [&] { DrawEveryObject(*place); });
    EXPECT_EQ(Trace(EQueue::Holding, [&] { place->Draw(3.0f, 4.0f, 0.5f); }), everyLayer);
}

} // namespace
