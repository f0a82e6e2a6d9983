#pragma once
// A place object that holds child objects; its angle and position turn its
// sprite children when they are drawn.

#include <cstdint>
#include <memory>
#include <vector>

#include "placefile/PlaceObject.h"

namespace Engine::Graphics::PlaceFile {

class CPlaceGroupObject : public CPlaceObject {
public:
    using CPlaceObject::CPlaceObject;

    // Itself, else the first match among the children, searched in depth.
    CPlaceObject* FindObjectByID(uint32_t id) override;
    void SerializeLegacy(CArchive& ar) override;
    void Serialize(CArchive& ar) override;

    // A group inside MAX_DEPTH - 1 others is the deepest a file may hold;
    // the readers refuse a deeper one.
    static constexpr int MAX_DEPTH = 64;
    // 1 for a group of a layer, one more for each group around it.
    int GetDepth() const;

    uint32_t GroupWord0 = 0;
    uint32_t GroupWord1 = 0;
    std::vector<std::unique_ptr<CPlaceObject>> Children;

private:
    void ReadChildren(CArchive& ar, uint32_t count, bool legacy);
};

} // namespace Engine::Graphics::PlaceFile
