#pragma once
// Deleting a counted object that may throw from its destructor.

#include "app/Referenced.h"

namespace TestReferenced {

// The integer the deletion threw; 0 when it threw nothing.
inline int DeleteAndCatch(Engine::CReferenced* object) {
    try {
        delete object;
    } catch (int code) {
        return code;
    }
    return 0;
}

} // namespace TestReferenced
