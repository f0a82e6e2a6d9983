#pragma once
// The interface of the objects a CReflectionAniObject wraps.

#include "app/Archive.h"
#include "app/String.h"

namespace Engine::Scene {

class IReflectionAnimObject {
public:
    // The wrapper deletes the object it created through this interface.
    virtual ~IReflectionAnimObject() noexcept(false) = default;
    virtual CString GetName() const = 0;
    // The object's own data inside its wrapper's chunk.
    virtual void Serialize(CArchive& ar) = 0;
    // Called when the wrapper lets go of the object.
    virtual void Unbind() = 0;
};

} // namespace Engine::Scene
