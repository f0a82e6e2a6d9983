#pragma once
// A place file's objects by ID. A look-up answers what a walk of every
// object would: layers in order, objects in order, a group before its
// children, depth first; the first object met with the ID wins, so among
// duplicates the same one as that walk. Built on the first look-up, in one
// walk; whoever replaces the layers or their objects drops it.

#include <cstdint>
#include <memory>
#include <vector>

#include "app/FirstMatchIndex.h"

namespace Engine::Graphics::PlaceFile {

class CPlaceLayer;
class CPlaceObject;

class CPlaceObjectIndex {
public:
    CPlaceObject* Find(const std::vector<std::unique_ptr<CPlaceLayer>>& layers, uint32_t id);
    void Invalidate();

private:
    void Build(const std::vector<std::unique_ptr<CPlaceLayer>>& layers);

    Engine::CFirstMatchIndex<uint32_t, CPlaceObject*> m_byId;
    bool m_built = false;
};

} // namespace Engine::Graphics::PlaceFile
