#pragma once
// The book going up.

#include "scenes/BookSceneBody.h"

namespace __SceneGeneratedCode {

class t477 final : public CBookSceneBody {
public:
    const char* GetPlaceFileName() override { return "place/orven_book_up.place"; }
};

} // namespace __SceneGeneratedCode
