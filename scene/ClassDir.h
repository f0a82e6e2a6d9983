#pragma once
// The process-wide directory of the scene archive: the objects written or
// read since the current scene archive began, by object ID, and the class
// lookups by registered name, including the search for default controllers.

#include <cstdint>
#include <vector>

#include "reflection/TypeRegistry.h"
#include "scene/Animatable.h"
#include "scene/ObjectsById.h"

namespace Engine::Scene {

class CReflectable;

class CClassDir {
public:
    // Made on first use; it lives until the process ends.
    static CClassDir& GetInstance();

    CClassDir(const CClassDir&) = delete;
    CClassDir& operator=(const CClassDir&) = delete;
    virtual ~CClassDir();

    // True when this object is already registered under the ID. When
    // another object holds the ID, the object is renumbered with fresh IDs
    // from the next-object-ID counter until one is free.
    bool RegisterObject(uint32_t id, CAnimatable::Ref object);
    CAnimatable::Ref FindObject(uint32_t id) const;
    // Releases every registered object.
    void Clear();
    // An object read and then left out of its owner's slot: it stays whole,
    // since a later record may refer to it by ID, until DisposeDropped.
    void KeepDropped(CAnimatable::Ref object);
    // At the end of a read: disposes of every dropped object that nothing
    // took up after all (no dependent, no slot), which would otherwise keep
    // itself alive through the links to its own controllers.
    void DisposeDropped();
    // Disposes of every registered object (breaking the links between
    // them), then releases them: what a failed read leaves behind.
    void DisposeAll();
    size_t GetObjectCount() const { return m_objects.Size(); }

    const Engine::Reflection::CTypeInfo* FindClassByName(const CString& name) const;
    // A new object of the class by its default constructor. Throws
    // Engine::CException for a class that is abstract, has no default
    // constructor or is no animatable.
    CAnimatable::Ref CreateObject(const Engine::Reflection::CTypeInfo* type) const;

    // The first registered, concrete controller class of that value type
    // that carries the default-controller mark (own or inherited); null
    // when there is none.
    const Engine::Reflection::CTypeInfo* FindDefaultController(const Engine::Reflection::CTypeInfo* valueType);
    // Puts a new default controller into every property slot of the object
    // whose type has one, then updates the object at time 0.
    void CreateDefaultControllers(CReflectable& object);

    // Counts the object records being read inside each other; too deep a
    // nesting is refused before it exhausts the stack.
    class CNestedRead {
    public:
        explicit CNestedRead(CClassDir& dir);
        ~CNestedRead() { --m_dir.m_readDepth; }
        CNestedRead(const CNestedRead&) = delete;
        CNestedRead& operator=(const CNestedRead&) = delete;

    private:
        CClassDir& m_dir;
    };
    static constexpr int MAX_READ_DEPTH = 128;

private:
    CClassDir();

    using TypeMap = Engine::Reflection::CTypeRegistry::TypeInfoMap;

    Engine::Reflection::CTypeRegistry* m_registry;
    // The class search's place in the registry's types: at the first entry
    // from construction and from the start of each search.
    const TypeMap* m_typeMap;
    TypeMap::const_iterator m_typeCursor;
    CObjectsById m_objects;
    std::vector<CAnimatable::Ref> m_dropped;
    int m_readDepth = 0;
};

} // namespace Engine::Scene
