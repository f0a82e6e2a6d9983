#pragma once
// The place files of the scenes that the program carries generated classes
// for, built from each scene's structure: which object is a sprite or a
// particle object, which property it animates and by which kind of
// controller per component (linear or Bezier key table, noise, a linear
// table eased by a linear or a noise curve). Key tables have their keys
// inside the scene's span, so that times before the first and after the
// last key occur, with out-of-range types that vary from curve to curve.
// The designed scenes (bg1 to bg6) have layouts of their own, drawn from
// "spr/scenes.spr" (tools/ScenePictures.h).

#include <string>
#include <vector>

#include "tools/PakWriter.h"
#include "tools/PlaceWriter.h"
#include "tools/SceneArchiveWriter.h"
#include "tools/ScenePictures.h"

namespace Tools {

// What a component that the scene's class writes as a constant holds in the
// file: a one-key table of that constant (as the scene was designed), or
// contrary keys that the class must ignore.
enum class ELiteralData { OneKey, Contrary };

struct CGeneratedScene {
    CPlaceDocument place;  // without its scene archive
    CSceneDocument scene;
};

// The place paths, "place/bg1.place" and so on.
std::vector<std::string> GeneratedScenePaths();
// Throws Engine::CException for a path that is not in the list.
CGeneratedScene GeneratedScene(const std::string& path, ELiteralData literals = ELiteralData::OneKey);
std::vector<uint8_t> WriteGeneratedScene(const CGeneratedScene& scene);

// The colours of the sky picture behind a scene.
std::vector<uint32_t> SceneSkyColours(const std::string& path);

// Every scene's place file with its pictures and effects.
void AddDemoScenes(CPakWriter& pack);
// Background scene `number` alone ("place/bg<number>.place"), for a run that
// shows only it: the numbers before it hold empty files, which the
// screensaver skips. The effect file may be replaced.
void AddDemoScene(CPakWriter& pack, int number, std::vector<uint8_t> effects = WriteSceneEffects());
// The same with the scene's place file given.
void AddDemoScenePlace(CPakWriter& pack, int number, std::vector<uint8_t> place,
                       std::vector<uint8_t> effects = WriteSceneEffects());

} // namespace Tools
