#pragma once
// Second base of every managed resource (sprite, place and map files,
// samples, particle effect files): the name it was loaded under.

#include <cstdint>

#include "app/String.h"

namespace Engine {

class CManagedObject {
public:
    // Stores the name with every backslash turned into a slash.
    explicit CManagedObject(const CString& name) : m_name(NormalizePath(name)) {}
    // Not noexcept: a resource's destructor lets CReferenced's integer 1 (an
    // object destroyed while referenced) through, and may not be looser.
    virtual ~CManagedObject() noexcept(false) = default;

    const CString& GetName() const { return m_name; }
    uint8_t GetFlag() const { return m_flag; }
    void SetFlag(uint8_t flag) { m_flag = flag; }

private:
    CString m_name;
    uint8_t m_flag = 0;
};

} // namespace Engine
