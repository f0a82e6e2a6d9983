// The scenes of the orven animations and the map, as their generated
// classes expect them.

#include "scenes/GeneratedBody.h"
#include "tools/GeneratedSceneRecipe.h"

namespace Tools {

namespace {

using namespace __SceneGeneratedCode;

using Rows = std::vector<CSceneRecipeRow>;

// The same properties of several objects.
void Add(Rows& rows, std::initializer_list<int> objects, int property, const char* components) {
    for (const int object : objects) rows.push_back({object, property, components});
}

constexpr const char* kFade = "100,100,100,L";

Rows RotateRows() {
    Rows rows;
    Add(rows, {1, 4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 17, 18, 19}, PropPosition, "L,L");
    rows.insert(rows.end(), {{0, PropPosition, "L,277"},  {2, PropPosition, "L,472"},
                             {3, PropPosition, "L,292"},  {11, PropPosition, "L,262"},
                             {13, PropPosition, "L,266"}, {15, PropPosition, "L,277"},
                             {20, PropPosition, "L,305"}, {21, PropPosition, "L,267"},
                             {8, PropSize, "L,148"},      {10, PropSize, "L,27"},
                             {13, PropSize, "L,77"},      {15, PropSize, "L,265"}});
    return rows;
}

Rows ReadRows() {
    Rows rows;
    Add(rows, {0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, PropColor, kFade);
    rows.insert(rows.end(), {{2, PropPosition, "L,L"},
                             {2, PropColor, "L,L,L,L"},
                             {3, PropPosition, "108,L"},
                             {3, PropColor, "L,L,L,L"}});
    return rows;
}

Rows BookRows() {
    Rows rows = {{0, PropPosition, "L,L"},  {1, PropPosition, "L,L"},  {1, PropSize, "145,L"},
                 {2, PropPosition, "244,L"}, {3, PropPosition, "59,L"},   {4, PropPosition, "108,L"},
                 {5, PropPosition, "200,L"}, {6, PropPosition, "108,L"},  {7, PropPosition, "198,L"},
                 {8, PropPosition, "108,L"}, {9, PropPosition, "200,L"},  {10, PropPosition, "105,L"},
                 {11, PropPosition, "201,L"}, {12, PropPosition, "157,L"}, {13, PropPosition, "154,L"},
                 {14, PropPosition, "149.5,L"}, {15, PropPosition, "152,L"}, {16, PropPosition, "108,L"},
                 {17, PropPosition, "196,L"}, {18, PropPosition, "102,L"}, {19, PropPosition, "202,L"},
                 {20, PropSize, "187,L"},     {21, PropPosition, "L,L"},   {22, PropPosition, "L,L"}};
    Add(rows, {4, 5, 8, 9}, PropColor, kFade);
    return rows;
}

Rows MapRows() {
    Rows rows = {{0, PropSpriteOffset, "L,L"}, {1, PropSpriteOffset, "L,0"}, {16, PropColor, "L,L,L,L"},
                 {17, PropPosition, "224,L"}};
    Add(rows, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18}, PropPosition, "L,L");
    Add(rows, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, PropZoom, "L,L");
    Add(rows, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18}, PropColor, kFade);
    return rows;
}

} // namespace

std::vector<CSceneRecipe> OrvenSceneRecipes() {
    const Rows read = ReadRows(), book = BookRows();
    const Rows pencil = {{0, PropPosition, "L,L"}, {1, PropPosition, "L,L"}, {2, PropPosition, "L,L"}};
    return {
        {"place/orven_rotate.place", 22, {}, RotateRows()},
        {"place/orven_read_begin.place", 16, {}, read},
        {"place/orven_read_end.place", 16, {}, read},
        {"place/orven_read_book.place", 5, {},
         {{0, PropPosition, "E,E"}, {1, PropPosition, "E,E"}, {2, PropColor, "100,100,100,E"},
          {3, PropPosition, "108,E"}, {3, PropColor, "100,100,100,E"}, {4, PropAngle, "N"}}},
        {"place/orven_book_up.place", 23, {}, book},
        {"place/orven_book_down.place", 23, {}, book},
        // Its class moves nothing, so the file animates nothing either.
        {"place/orven_init.place", 2, {}, {}},
        {"place/orven_smile.place", 2, {},
         {{0, PropSize, "L,L"}, {0, PropColor, kFade}, {1, PropSize, "L,L"}, {1, PropColor, kFade}}},
        {"place/orven_close_eyes.place", 10, {}, [] {
             Rows rows;
             Add(rows, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, PropColor, kFade);
             return rows;
         }()},
        {"place/orven_pencil_up.place", 3, {}, pencil},
        {"place/orven_pencil_down.place", 3, {}, pencil},
        {"place/map.place", 19, {}, MapRows()},
    };
}

} // namespace Tools
