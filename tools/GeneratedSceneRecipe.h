#pragma once
// A scene's structure, from which the place file of its generated class is
// made (tools/GeneratedScenePlaces.h).

#include <vector>

namespace Tools {

// One animated property of one object: its components, comma-separated:
// L linear, B Bezier, N noise, E linear eased by a linear curve, M linear
// eased by a noise curve, a number a constant.
struct CSceneRecipeRow {
    int object;
    int property;
    const char* components;
};

struct CSceneRecipe {
    const char* path;
    int objectCount;
    std::vector<int> particles;  // the animated particle objects
    std::vector<CSceneRecipeRow> rows;
};

// The orven animations and the map, in the order of their classes.
std::vector<CSceneRecipe> OrvenSceneRecipes();

} // namespace Tools
