#pragma once
// Place files of the generated scene classes' scenes, loaded with the
// classes registered and enabled, and what a test compares of them.

#include <gtest/gtest.h>

#include <map>

#include "placefile/PlaceSpriteObject.h"
#include "placefile/PlaceVexaObject.h"
#include "scene/Scene.h"
#include "scenes/SceneRegistration.h"
#include "tests/placefile/PlaceFileFixture.h"
#include "tools/GeneratedScenePlaces.h"

namespace PlaceTest {

inline void RegisterGeneratedScenes() {
    static const Engine::CStartupRegistration s_startup{Engine::Scenes::GetStartupHooks()};
}

// Every field an animation can write, per animated place object.
inline std::vector<double> Fields(CPlaceObject* object) {
    std::vector<double> fields{object->Angle,  object->Position.x, object->Position.y, double(object->Width),
                               double(object->Height), object->Zoom.x, object->Zoom.y, double(object->Color)};
    if (auto* sprite = dynamic_cast<CPlaceSpriteObject*>(object))
        fields.insert(fields.end(), {sprite->SpriteOffset.x, sprite->SpriteOffset.y,
                                     double(sprite->Sprite ? sprite->Sprite->GetFrame() : -1)});
    if (auto* particles = dynamic_cast<CPlaceVexaObject*>(object)) fields.push_back(particles->Emitter.Time);
    return fields;
}

// Every node's reference count, the ease curve lists' included.
inline void CountReferences(const Engine::Scene::CAnimatable* node, std::map<const void*, int32_t>& counts) {
    if (!node || counts.contains(node)) return;
    counts[node] = node->GetRefCount();
    if (auto* controller = dynamic_cast<const Engine::Scene::CStdController*>(node))
        CountReferences(controller->GetEaseCurveList().get(), counts);
    for (int i = 0; i < node->GetSubAnimCount(); ++i) CountReferences(node->GetSubAnim(i).get(), counts);
}

class GeneratedScenesTest : public PlaceFileFixture {
protected:
    GeneratedScenesTest() {
        RegisterGeneratedScenes();
        g_bUseGeneratedSceneClasses = true;
        Write("spr/scenes.spr", Tools::WriteSceneSprites());
    }
    ~GeneratedScenesTest() override { g_bUseGeneratedSceneClasses = false; }

    ref_ptr<CPlaceFile> Load(const std::string& path, const Tools::CGeneratedScene& scene) {
        Write(path, Tools::WriteGeneratedScene(scene));
        return local->GetPlaceFile(CString(path));
    }
    static std::vector<std::vector<double>> Snapshot(CPlaceFile& place, int objects) {
        std::vector<std::vector<double>> all;
        for (int i = 0; i < objects; ++i) all.push_back(Fields(place.FindObjectByID(uint32_t(100 + i))));
        return all;
    }
    bool Assigned(const std::string& path) const {
        return log.Text().find("Assigning generated class for '" + path + "' : OK\n") != std::string::npos;
    }
};

} // namespace PlaceTest
