#pragma once
// Place files for the generated scene classes, written from a recipe of the
// scene's structure: which animated sprite objects it holds, which of their
// properties have controllers and in what form each component is animated.
// The key data is made up (distinct per component, with every out-of-range
// type), so that a file of the class's path exercises its body.
//
// Writing needs the reflection, scene and place-file types registered.

#include <string>
#include <vector>

#include "scenes/GeneratedBody.h"
#include "tools/PlaceWriter.h"

namespace Tools {

using SceneComponent = __SceneGeneratedCode::CComponent;

struct CRecipeProperty {
    int property = 0;  // the animated object's property index
    std::vector<SceneComponent> components;  // one for a float property
};

struct CSceneRecipe {
    std::string path;  // "place/....place"
    // Per animated object, its animated properties in ascending index.
    std::vector<std::vector<CRecipeProperty>> objects;
};

// What a literal component's controller holds in the file.
enum class ELiteralKeys {
    Contrary,  // keys far from the literal, which the class must ignore
    OneKey,    // one key of the literal, so the generic update gives it too
};

// The place document: sprite object i has the ID SceneObjectId(i); besides
// the recipe's properties every object animates its SpriteTile, which no
// body sets. The scene runs at rate 1 over 0..10, looping.
CPlaceDocument MakeScenePlace(const CSceneRecipe& recipe, ELiteralKeys literals);
constexpr uint32_t SceneObjectId(size_t object) { return 100 + uint32_t(object); }

// The key times of every key table; the out-of-range types differ per
// component.
inline constexpr double kSceneKeyTimes[] = {1.0, 2.0, 4.0};
// The key values of the n-th evaluated component of a scene (in object,
// property, component order).
std::vector<float> SceneKeyValues(int n);

// The scenes of the generated classes of the orven animations and the map, in
// registration order.
std::vector<CSceneRecipe> OrvenAndMapSceneRecipes();

} // namespace Tools
