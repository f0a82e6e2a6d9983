#pragma once
// The children of a scene that a time step can change, by their place among
// the children, so that a step costs what it animates and not what the scene
// holds. A step makes exactly the calls of the walk over every child
// (CAnimatable::UpdateSubAnimsFrom), in the same order: a child is left out
// only when its ApplyAtTime would do nothing.
//
// When the list is made again: a child added at the end is listed at once;
// a child removed, or a slot of any reflectable given an object
// (CReflectable::GetSlotFills), makes the list stale and the next step lists
// the children again, once. Children and slots change while scenes are read
// or edited, never in a steady run of steps, so no such step lists anything.
// A change during a step (from inside an ApplyAtTime) ends the listed step
// there and the walk takes over from the next child, as it would have gone.

#include <cstdint>
#include <deque>
#include <vector>

#include "scene/Animatable.h"

namespace Engine::Scene {

class CAnimatedChildren {
public:
    using ChildList = std::deque<CAnimatable::Ref, CScenePoolAllocator<CAnimatable::Ref>>;

    // The child just appended to the children.
    void Appended(const ChildList& children);
    // Any other change of the children.
    void Changed();
    // The time step of the scene, whose children are the list given.
    void ApplyAtTime(CAnimatable& scene, const ChildList& children, double time);

    // False only for a child whose ApplyAtTime does nothing: one that is not
    // an animated object, a plain CAniObject, or a CReflectionAniObject whose
    // every slot is empty. Any other class may do anything in ApplyAtTime.
    static bool CanChangeAtTime(CAnimatable& child);

private:
    void ListAgain(const ChildList& children);

    std::vector<size_t> m_indices;
    // Counts every change of the children, so a step sees one made inside it.
    uint64_t m_edits = 0;
    // CReflectable::GetSlotFills () when the children were listed.
    uint64_t m_slotFills = 0;
    bool m_stale = true;
};

} // namespace Engine::Scene
