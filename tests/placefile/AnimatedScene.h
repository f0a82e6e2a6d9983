#pragma once
// A place file's scene of animated objects, for the tests and the
// place-file fuzz target.

#include <vector>

#include "placefile/AniSpriteObject.h"
#include "placefile/AniVexaObject.h"
#include "reflection/Reflector.h"
#include "scene/Scene.h"
#include "tools/SceneArchiveWriter.h"

namespace PlaceTest {

using namespace Engine::Graphics::PlaceFile;
using namespace Engine::Scene;
using Engine::ref_ptr;

// The start-up registrations that a scene of animated objects needs.
inline void RegisterAnimatedSceneTypes() { Tools::RegisterSceneArchiveTypes(); }

// Sprite 10 (11 frames, starting at 4, frame in percent) turns, steps through
// its frames and fades; sprite 21 shrinks; particle object 30 runs its own
// time, emits from 1 on and tints.
inline std::vector<uint8_t> AnimatedScene() {
    const auto linear = [](float at0, float at2) { return Tools::LinearCurve({{0.0, at0}, {2.0, at2}}); };
    Tools::CSceneCurve emitting;
    emitting.kind = Tools::ESceneCurve::StepBool;
    emitting.keys = {{0.0, 0.0f}, {1.0, 1.0f}};
    const Tools::CSceneCurve zero = Tools::ConstantCurve(0.0f);
    Tools::CSceneDocument scene;
    scene.rate = 1.0f;
    scene.objects = {
        {false, 10, true, {{0, {linear(0, 90)}}, {5, {linear(0, 100)}}, {8, {linear(100, 50)}}}},
        {false, 21, false, {{3, {linear(100, 50), linear(100, 50)}}}},
        {true, 30, false, {{5, {linear(0, 4)}}, {6, {emitting}}, {7, {linear(0, 2), zero, zero, zero}}}},
    };
    return Tools::WriteSceneArchive(scene);
}

} // namespace PlaceTest
