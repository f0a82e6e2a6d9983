// The scenes of the orven animations and the map, as their generated
// classes expect them.

#include <map>

#include "tools/sceneplaces/ScenePlace.h"

namespace Tools {

namespace {

using namespace __SceneGeneratedCode;

CRecipeProperty Pair(int property, CComponent x, CComponent y) { return {property, {x, y}}; }
CRecipeProperty Position(CComponent x, CComponent y) { return Pair(PropPosition, x, y); }
CRecipeProperty Size(CComponent width, CComponent height) { return Pair(PropSize, width, height); }
// White, fading through its alpha.
CRecipeProperty Fade(CComponent alpha = Linear) {
    return {PropColor, {Literal(100.0f), Literal(100.0f), Literal(100.0f), alpha}};
}
CRecipeProperty Tint() { return {PropColor, {Linear, Linear, Linear, Linear}}; }

using Objects = std::vector<std::vector<CRecipeProperty>>;

Objects Rotate() {
    const std::map<int, float> fixedY = {{0, 277.0f},  {2, 472.0f},  {3, 292.0f},  {11, 262.0f},
                                         {13, 266.0f}, {15, 277.0f}, {20, 305.0f}, {21, 267.0f}};
    const std::map<int, float> fixedHeight = {{8, 148.0f}, {10, 27.0f}, {13, 77.0f}, {15, 265.0f}};
    Objects objects(22);
    for (int i = 0; i < 22; ++i) {
        const auto y = fixedY.find(i);
        objects[size_t(i)].push_back(Position(Linear, y == fixedY.end() ? Linear : Literal(y->second)));
        if (const auto height = fixedHeight.find(i); height != fixedHeight.end())
            objects[size_t(i)].push_back(Size(Linear, Literal(height->second)));
    }
    return objects;
}

Objects Read() {
    Objects objects(16, {Fade()});
    objects[2] = {Position(Linear, Linear), Tint()};
    objects[3] = {Position(Literal(108.0f), Linear), Tint()};
    return objects;
}

Objects ReadBook() {
    return {{Position(LinearEased, LinearEased)},
            {Position(LinearEased, LinearEased)},
            {Fade(LinearEased)},
            {Position(Literal(108.0f), LinearEased), Fade(LinearEased)},
            {{PropAngle, {Noise}}}};
}

Objects Book() {
    const float fixedX[] = {244, 59, 108, 200, 108, 198, 108, 200, 105, 201, 157, 154, 149.5f, 152, 108, 196, 102, 202};
    Objects objects(23);
    objects[0] = {Position(Linear, Linear)};
    objects[1] = {Position(Linear, Linear), Size(Literal(145.0f), Linear)};
    for (int i = 2; i <= 19; ++i) objects[size_t(i)] = {Position(Literal(fixedX[i - 2]), Linear)};
    for (int i : {4, 5, 8, 9}) objects[size_t(i)].push_back(Fade());
    objects[20] = {Size(Literal(187.0f), Linear)};
    objects[21] = objects[22] = {Position(Linear, Linear)};
    return objects;
}

Objects Map() {
    const CRecipeProperty zoom = Pair(PropZoom, Linear, Linear);
    Objects objects(19, {Position(Linear, Linear), zoom, Fade()});
    objects[0] = {Pair(PropSpriteOffset, Linear, Linear)};
    objects[1] = {Pair(PropSpriteOffset, Linear, Literal(0.0f))};
    objects[16] = {Position(Linear, Linear), zoom, Tint()};
    objects[17] = {Position(Literal(224.0f), Linear), Fade()};
    objects[18] = {Position(Linear, Linear), Fade()};
    return objects;
}

} // namespace

std::vector<CSceneRecipe> OrvenAndMapSceneRecipes() {
    const Objects pencil(3, {Position(Linear, Linear)});
    return {
        {"place/orven_rotate.place", Rotate()},
        {"place/orven_read_begin.place", Read()},
        {"place/orven_read_end.place", Read()},
        {"place/orven_read_book.place", ReadBook()},
        {"place/orven_book_up.place", Book()},
        {"place/orven_book_down.place", Book()},
        // Its class sets nothing: whatever the file animates stays as loaded.
        {"place/orven_init.place", {{Position(Linear, Linear), Fade()}, {Size(Linear, Linear)}}},
        {"place/orven_smile.place", Objects(2, {Size(Linear, Linear), Fade()})},
        {"place/orven_close_eyes.place", Objects(10, {Fade()})},
        {"place/orven_pencil_up.place", pencil},
        {"place/orven_pencil_down.place", pencil},
        {"place/map.place", Map()},
    };
}

} // namespace Tools
