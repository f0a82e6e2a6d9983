#pragma once
// A map-file local manager that records uses, which nothing in the engine
// does; the engine's own keeps AddObject to itself.

#include "placefile/MapFileManager.h"

namespace PlaceTest {

class CTestMapFileLocalManager : public Engine::Graphics::MapFile::CMapFileLocalManager {
public:
    using CMapFileLocalManager::CMapFileLocalManager;
    using CLocalObjectManager::AddObject;
};

} // namespace PlaceTest
