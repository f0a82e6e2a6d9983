#include "app/DirectXDrivers.h"

#include "app/Log.h"
#include "platform/Direct3D8.h"
#include "platform/DirectDraw7.h"
#include "platform/Library.h"

namespace {

struct CResultName {
    HRESULT code;
    const char* name;
};

// The codes the stand-ins return.
constexpr CResultName kResultNames[] = {
    {S_OK, "S_OK"},
    {S_FALSE, "S_FALSE"},
    {E_FAIL, "E_FAIL"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
    {E_INVALIDARG, "E_INVALIDARG"},
    {E_NOTIMPL, "E_NOTIMPL"},
    {E_NOINTERFACE, "E_NOINTERFACE"},
    {E_POINTER, "E_POINTER"},
    {D3DERR_OUTOFVIDEOMEMORY, "D3DERR_OUTOFVIDEOMEMORY"},
    {D3DERR_DEVICELOST, "D3DERR_DEVICELOST"},
    {D3DERR_DEVICENOTRESET, "D3DERR_DEVICENOTRESET"},
    {D3DERR_NOTAVAILABLE, "D3DERR_NOTAVAILABLE"},
    {D3DERR_INVALIDCALL, "D3DERR_INVALIDCALL"},
    {DDERR_GENERIC, "DDERR_GENERIC"},
    {DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS"},
    {DDERR_INVALIDMODE, "DDERR_INVALIDMODE"},
    {DDERR_OUTOFVIDEOMEMORY, "DDERR_OUTOFVIDEOMEMORY"},
    {DDERR_SURFACELOST, "DDERR_SURFACELOST"},
    {DDERR_WASSTILLDRAWING, "DDERR_WASSTILLDRAWING"},
    {DDERR_NOEXCLUSIVEMODE, "DDERR_NOEXCLUSIVEMODE"},
    {DDERR_EXCLUSIVEMODEALREADYSET, "DDERR_EXCLUSIVEMODEALREADYSET"},
    {DDERR_WRONGMODE, "DDERR_WRONGMODE"},
    {DDERR_NOTFOUND, "DDERR_NOTFOUND"},
    {DDERR_NOCOOPERATIVELEVELSET, "DDERR_NOCOOPERATIVELEVELSET"},
    {DDERR_SURFACEBUSY, "DDERR_SURFACEBUSY"},
    {DDERR_NOTLOCKED, "DDERR_NOTLOCKED"},
    {DIERR_NOTACQUIRED, "DIERR_NOTACQUIRED"},
    {DIERR_INPUTLOST, "DIERR_INPUTLOST"},
    {DIERR_OTHERAPPHASPRIO, "DIERR_OTHERAPPHASPRIO"},
    {DIERR_DEVICENOTREG, "DIERR_DEVICENOTREG"},
    {DIERR_OLDDIRECTINPUTVERSION, "DIERR_OLDDIRECTINPUTVERSION"},
};

} // namespace

const char* DXErrorToString(HRESULT result) {
    for (const CResultName& entry : kResultNames)
        if (entry.code == result) return entry.name;
    return "Unknown";
}

namespace Engine {

bool CDirectXDrivers::CLibraryUse::Load() {
    if (m_module) return true;
    m_module = LoadLibrary(m_file);
    if (!m_module) GetLog().PrintLine("LoadLibrary(\"%s\") : FAILED", m_file);
    return m_module != nullptr;
}

FARPROC CDirectXDrivers::CLibraryUse::ResolveProc(const char* entry) {
    FARPROC proc = GetProcAddress(m_module, entry);
    if (!proc) GetLog().PrintLine("GetProcAddress(%s, \"%s\") : FAILED", m_variable, entry);
    return proc;
}

// A failed lookup frees the library only when no other user holds it: the
// others keep their entry points.
void CDirectXDrivers::CLibraryUse::FreeIfUnused() {
    if (m_users > 0 || !m_module) return;
    FreeLibrary(m_module);
    m_module = nullptr;
}

bool CDirectXDrivers::CLibraryUse::DropUser() {
    if (m_users == 0) return false;
    --m_users;
    FreeIfUnused();
    return true;
}

CDirectXDrivers::CDirectXDrivers() = default;

CDirectXDrivers::~CDirectXDrivers() {
    if (m_pDS) m_pDS->Release();
    for (CLibraryUse* library : {&m_d3d8, &m_ddraw, &m_dsound, &m_dinput}) {
        while (library->DropUser()) {}
    }
}

bool CDirectXDrivers::D3D8Init() { return m_d3d8.Use("Direct3DCreate8", m_pfnDirect3DCreate8); }

void CDirectXDrivers::D3D8Done() {
    if (m_d3d8.DropUser() && m_d3d8.GetUsers() == 0) m_pfnDirect3DCreate8 = nullptr;
}

bool CDirectXDrivers::DDInit(bool ex) {
    if (!m_ddraw.Load()) return false;
    const bool created = ex ? m_ddraw.Resolve("DirectDrawCreateEx", m_pfnDirectDrawCreateEx)
                            : m_ddraw.Resolve("DirectDrawCreate", m_pfnDirectDrawCreate);
    if (!created || !m_ddraw.Resolve("DirectDrawEnumerateExA", m_pfnDirectDrawEnumerateExA)) {
        m_ddraw.FreeIfUnused();
        return false;
    }
    m_ddraw.AddUser();
    return true;
}

void CDirectXDrivers::DDDone() {
    if (!m_ddraw.DropUser() || m_ddraw.GetUsers() > 0) return;
    m_pfnDirectDrawCreate = nullptr;
    m_pfnDirectDrawCreateEx = nullptr;
    m_pfnDirectDrawEnumerateExA = nullptr;
}

bool CDirectXDrivers::DSInit() {
    if (!m_dsound.Load()) return false;
    if (m_dsound.GetUsers() == 0) {
        if (!m_dsound.Resolve("DirectSoundCreate", m_pfnDirectSoundCreate)) {
            m_dsound.FreeIfUnused();
            return false;
        }
        const HRESULT result = m_pfnDirectSoundCreate(nullptr, &m_pDS, nullptr);
        GetLog().PrintLine("DirectSoundCreate(...) : %s", DXErrorToString(result));
        if (FAILED(result) || !m_pDS) {
            m_pDS = nullptr;
            m_dsound.FreeIfUnused();
            return false;
        }
    }
    m_dsound.AddUser();
    return true;
}

void CDirectXDrivers::DSDone() {
    // The last user releases the object while its library is still loaded.
    if (m_dsound.GetUsers() == 1 && m_pDS) {
        GetLog().PrintLine("m_pDS->Release() : %d", int(m_pDS->Release()));
        m_pDS = nullptr;
        m_pfnDirectSoundCreate = nullptr;
    }
    m_dsound.DropUser();
}

bool CDirectXDrivers::DIInit() { return m_dinput.Use("DirectInputCreateA", m_pfnDirectInputCreateA); }

void CDirectXDrivers::DIDone() {
    if (m_dinput.DropUser() && m_dinput.GetUsers() == 0) m_pfnDirectInputCreateA = nullptr;
}

CDirectXDrivers& GetDirectXDrivers() {
    static CDirectXDrivers drivers;
    return drivers;
}

} // namespace Engine
