#pragma once
// A map file: a named, shared resource of the map-file manager. Nothing
// loads one yet; the managers exist so that owners can hold and release
// them like every other file kind.

#include "app/ManagedObject.h"
#include "app/Referenced.h"

namespace Engine::Graphics::MapFile {

class CMapFile : public Engine::CReferenced, public Engine::CManagedObject {
public:
    explicit CMapFile(const CString& name) : CManagedObject(name) {}
    ~CMapFile() noexcept(false) override = default;
};

} // namespace Engine::Graphics::MapFile
