#include "tools/LanternCopies.h"

#include "app/Exception.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/HeavySprites.h"
#include "tools/NamedCase.h"

namespace Tools {
namespace {

constexpr const char* kScenePath = "place/bg6.place";
constexpr int kSceneNumber = 6;
// bg6's lantern object: its scene object 0.
constexpr uint32_t kLanternId = 100;
constexpr int32_t kWindowWidth = 800, kWindowHeight = 600;
constexpr float kConstantZoom = 100.0f;

const CPlaceObjectDoc& LanternObject(const CPlaceDocument& place) {
    for (const CPlaceObjectDoc& object : place.layers.at(0).objects)
        if (object.id == kLanternId) return object;
    throw Engine::CException::Format("No lantern object in '%s'", kScenePath);
}

CSceneObject ConstantZoom(uint32_t placeId) {
    CSceneObject object;
    object.placeId = placeId;
    const CSceneCurve zoom = ConstantCurve(kConstantZoom);
    object.properties = {{kZoomProperty, {zoom, zoom}}};
    return object;
}

} // namespace

const char* LanternCopiesName(CLanternCopies copies) { return copies.name; }

bool FindLanternCopies(const std::string& name, CLanternCopies& copies) {
    return FindNamedCase(name, kLanternCopies, &LanternCopiesName, copies);
}

std::vector<uint8_t> WriteLanternCopies(ELanternAnimation animation, int count) {
    CGeneratedScene scene = GeneratedScene(kScenePath);
    std::vector<CPlaceObjectDoc>& objects = scene.place.layers.at(0).objects;
    CPlaceObjectDoc copy = LanternObject(scene.place);
    if (animation != ELanternAnimation::Zoomed) copy.width = copy.height = 1;
    objects.reserve(objects.size() + size_t(count));
    for (int i = 0; i < count; ++i) {
        copy.id = kFirstLanternCopyId + uint32_t(i);
        copy.name = "lantern" + std::to_string(i);
        // Spread over the window, one pixel apart.
        copy.x = float(i % kWindowWidth);
        copy.y = float((i / kWindowWidth) % kWindowHeight);
        objects.push_back(copy);
        if (animation == ELanternAnimation::Zoomed) scene.scene.objects.push_back(ZoomedSceneObject(copy.id));
        if (animation == ELanternAnimation::Constant) scene.scene.objects.push_back(ConstantZoom(copy.id));
    }
    return WriteGeneratedScene(scene);
}

void AddLanternCopies(CPakWriter& pack, ELanternAnimation animation, int count) {
    AddDemoScenePlace(pack, kSceneNumber, WriteLanternCopies(animation, count));
}

} // namespace Tools
