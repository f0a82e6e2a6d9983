#include "app/Referenced.h"

#include "app/Log.h"

namespace Engine {

CReferenced::~CReferenced() noexcept(false) {
    if (m_nRefCount > 0) {
        // Throwing while another exception unwinds would terminate the process.
        if (std::uncaught_exceptions() == 0) throw 1;
        GetLog().PrintLine("CReferenced destroyed with %d references", m_nRefCount);
    }
}

void CReferenced::Release() {
    // While another exception unwinds, an over-release is only logged.
    if (m_nRefCount <= 0 && std::uncaught_exceptions() == 0) throw 1;
    ReleaseFromDestructor();
}

void CReferenced::ReleaseFromDestructor() noexcept {
    if (m_nRefCount <= 0) {
        GetLog().PrintLine("CReferenced released below zero");
        return;
    }
    if (--m_nRefCount == 0) delete this;
}

} // namespace Engine
