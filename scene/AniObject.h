#pragma once
// An animated object: a named reflectable that applies its controllers'
// values at a time.

#include "scene/Reflectable.h"

namespace Engine::Scene {

class CAniObject : public CReflectable {
public:
    virtual CString GetName() const { return CString(); }
    virtual void SetName(const CString&) {}
    virtual void ApplyAtTime(double) {}
};

// The object as an animated object when its registered class derives from
// CAniObject (and it is one at run time), else null.
CAniObject* ToAniObject(CAnimatable* object);

} // namespace Engine::Scene
