#include "tools/HeavySprites.h"


#include "app/Exception.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/NamedCase.h"

namespace Tools {
namespace {

// The generated classes claim "place/bg1.place" to "place/bg6.place".
constexpr int kUnclaimedScene = 7;
constexpr float kZoomFrom = 1e3f, kZoomTo = 1e6f;
constexpr double kLoopSeconds = 20.0;

// The demo's sky sprite object: the first object of a designed scene, 800 x
// 600 about the window's centre.
CPlaceDocument SkyScene() {
    CPlaceDocument place = GeneratedScene("place/bg1.place").place;
    place.layers.at(0).objects.resize(1);
    return place;
}

} // namespace

CSceneObject ZoomedSceneObject(uint32_t placeId) {
    CSceneObject object;
    object.placeId = placeId;
    const CSceneCurve zoom = LinearCurve({{0.0, kZoomFrom}, {kLoopSeconds, kZoomTo}});
    object.properties = {{kZoomProperty, {zoom, zoom}}};  // x and y
    return object;
}

const char* HeavySpritesName(EHeavySprites sprites) {
    switch (sprites) {
    case EHeavySprites::WindowSized: return "WindowSizedSprites";
    case EHeavySprites::Scaled1e3: return "SpritesScaled1e3";
    case EHeavySprites::Scaled1e6: return "SpritesScaled1e6";
    case EHeavySprites::Zoomed: return "ZoomedSprites";
    }
    return "";
}

bool FindHeavySprites(const std::string& name, EHeavySprites& sprites) {
    return FindNamedCase(name, kHeavySprites, &HeavySpritesName, sprites);
}

std::vector<uint8_t> WriteHeavySprites(EHeavySprites sprites) {
    CPlaceDocument place = SkyScene();
    std::vector<CPlaceObjectDoc>& objects = place.layers.at(0).objects;
    CPlaceObjectDoc sky = objects.at(0);
    const int32_t scale = sprites == EHeavySprites::Scaled1e3 ? 1000 : sprites == EHeavySprites::Scaled1e6 ? 1000000 : 1;
    sky.width *= scale;
    sky.height *= scale;
    CSceneDocument scene;
    scene.name = "heavy sprites";
    scene.rate = 1.0f;
    scene.spanEnd = kLoopSeconds;
    objects.clear();
    for (int i = 0; i < kHeavySpriteCopies; ++i) {
        sky.id = uint32_t(1 + i);
        objects.push_back(sky);
        if (sprites == EHeavySprites::Zoomed) scene.objects.push_back(ZoomedSceneObject(sky.id));
    }
    place.scene = WriteSceneArchive(scene);
    return WritePlace(place);
}

void AddSceneAlone(CPakWriter& pack, std::vector<uint8_t> place) {
    pack.Add("spr/scenes.spr", WriteSceneSprites());
    pack.Add("fx/scenes.vexa", WriteSceneEffects());
    for (int before = 1; before < kUnclaimedScene; ++before) pack.Add(FormatString("place/bg%d.place", before), {});
    pack.Add(FormatString("place/bg%d.place", kUnclaimedScene), std::move(place));
}

} // namespace Tools
