#pragma once
// Start-up registration: every library's registrations run in one fixed
// order before main and are undone in reverse at exit.
//
// Each library exposes its hooks (a group from the list below, a register
// function and an undo function). The executable's entry-point source holds
// the single static initialiser that runs them, e.g.
//
//   static const Engine::CStartupRegistration s_startup{
//       Engine::Scenes::GetStartupHooks(), Engine::Reflection::GetStartupHooks(), ...};
//
// Libraries do not register themselves from static objects: C++ fixes no
// order for such initialisers across files, and the linker drops an object
// file of a static library that nothing refers to.

#include <initializer_list>
#include <span>
#include <vector>

namespace Engine {

// The groups, in the order they run.
enum class EStartupGroup {
    GeneratedScenes,     // the global list of generated scene classes
    GameInterface,       // the game's interface controls
    AnimatedObjects,     // the animated place objects
    Geometry,            // geometry types and their text forms
    Widgets,             // the GUI widgets
    KeyControllers,      // the key-table scene controllers
    Referenced,          // Engine::CReferenced
    Primitives,          // the primitive types by name
    PrimitiveFormatters, // the primitive types' text forms
    SceneTypes,          // the scene model's types
};

struct CStartupHook {
    EStartupGroup group;
    const char* name;
    void (*run)();
    void (*undo)(); // may be null
};

class CStartupRegistration {
public:
    // Runs every hook, by group and, within a group, in the order given. If
    // one throws, the hooks already run are undone in reverse and the
    // exception goes on.
    CStartupRegistration(std::initializer_list<std::span<const CStartupHook>> hookLists);
    // Undoes the hooks in reverse order of running.
    ~CStartupRegistration();
    CStartupRegistration(const CStartupRegistration&) = delete;
    CStartupRegistration& operator=(const CStartupRegistration&) = delete;

    const std::vector<const CStartupHook*>& GetRunOrder() const { return m_ran; }

private:
    void UndoAll() noexcept;

    std::vector<const CStartupHook*> m_ran;
};

} // namespace Engine
