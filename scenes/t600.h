#pragma once
// The book going down.

#include "scenes/BookSceneBody.h"

namespace __SceneGeneratedCode {

class t600 final : public CBookSceneBody {
public:
    const char* GetPlaceFileName() override { return "place/orven_book_down.place"; }
};

} // namespace __SceneGeneratedCode
