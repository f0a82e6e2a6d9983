#pragma once
// Run-time loading of the DirectX libraries, shared by every driver that
// needs one: each library is loaded by its first user, its entry points
// resolved, and freed when its last user is done. "dsound.dll" also makes
// the one DirectSound object all users share.

#include "platform/DirectInput.h"
#include "platform/DirectSound.h"

struct IDirect3D8;
struct IDirectDraw;

using PFN_Direct3DCreate8 = IDirect3D8* (*)(UINT sdkVersion);
using PFN_DirectDrawCreate = HRESULT (*)(GUID* driver, IDirectDraw** created, IUnknown* outer);
using PFN_DirectDrawCreateEx = HRESULT (*)(GUID* driver, void** created, const GUID& interfaceId, IUnknown* outer);
using LPDDENUMCALLBACKEXA = BOOL (*)(GUID* driver, char* description, char* name, void* context, void* monitor);
using PFN_DirectDrawEnumerateExA = HRESULT (*)(LPDDENUMCALLBACKEXA callback, void* context, DWORD flags);
using PFN_DirectInputCreateA = HRESULT (*)(HINSTANCE instance, DWORD version, IDirectInput** created,
                                           IUnknown* outer);

// The symbolic name of a DirectX result code; "Unknown" for codes not known.
const char* DXErrorToString(HRESULT result);

namespace Engine {

class CDirectXDrivers {
public:
    CDirectXDrivers();
    ~CDirectXDrivers();
    CDirectXDrivers(const CDirectXDrivers&) = delete;
    CDirectXDrivers& operator=(const CDirectXDrivers&) = delete;

    // Each Init returns false (after logging why) or counts one more user;
    // each Done counts one user fewer, and the last frees the library.
    bool D3D8Init();
    void D3D8Done();
    // ex chooses DirectDrawCreateEx rather than DirectDrawCreate.
    bool DDInit(bool ex);
    void DDDone();
    bool DSInit();
    void DSDone();
    bool DIInit();
    void DIDone();

    PFN_Direct3DCreate8 GetDirect3DCreate8() const { return m_pfnDirect3DCreate8; }
    PFN_DirectDrawCreate GetDirectDrawCreate() const { return m_pfnDirectDrawCreate; }
    PFN_DirectDrawCreateEx GetDirectDrawCreateEx() const { return m_pfnDirectDrawCreateEx; }
    PFN_DirectDrawEnumerateExA GetDirectDrawEnumerateExA() const { return m_pfnDirectDrawEnumerateExA; }
    PFN_DirectInputCreateA GetDirectInputCreateA() const { return m_pfnDirectInputCreateA; }
    // The shared DirectSound object while "dsound.dll" has users.
    IDirectSound* GetDirectSound() const { return m_pDS; }

private:
    // One library and its users.
    class CLibraryUse {
    public:
        // file: the library's file name; variable: how the log names its handle.
        CLibraryUse(const char* file, const char* variable) : m_file(file), m_variable(variable) {}
        // Loads the library unless it is loaded already; logs a failure.
        bool Load();
        // Resolves an entry, logging a failure.
        template <class Function>
        bool Resolve(const char* entry, Function& function) {
            function = reinterpret_cast<Function>(ResolveProc(entry));
            return function != nullptr;
        }
        // Loads the library and, for its first user, resolves the one entry
        // it needs; then counts the user. False (logged) on failure.
        template <class Function>
        bool Use(const char* entry, Function& function) {
            if (!Load()) return false;
            if (m_users == 0 && !Resolve(entry, function)) {
                FreeIfUnused();
                return false;
            }
            AddUser();
            return true;
        }
        // Frees the library when nobody uses it (a failed first Init).
        void FreeIfUnused();
        void AddUser() { ++m_users; }
        // False when there was no user; frees the library at the last one.
        bool DropUser();
        int GetUsers() const { return m_users; }

    private:
        FARPROC ResolveProc(const char* entry);

        const char* m_file;
        const char* m_variable;
        HMODULE m_module = nullptr;
        int m_users = 0;
    };

    CLibraryUse m_d3d8{"d3d8.dll", "m_hD3D8Lib"};
    CLibraryUse m_ddraw{"ddraw.dll", "m_hDDrawLib"};
    CLibraryUse m_dsound{"dsound.dll", "m_hDSoundLib"};
    CLibraryUse m_dinput{"dinput.dll", "m_hDInputLib"};
    PFN_Direct3DCreate8 m_pfnDirect3DCreate8 = nullptr;
    PFN_DirectDrawCreate m_pfnDirectDrawCreate = nullptr;
    PFN_DirectDrawCreateEx m_pfnDirectDrawCreateEx = nullptr;
    PFN_DirectDrawEnumerateExA m_pfnDirectDrawEnumerateExA = nullptr;
    PFN_DirectSoundCreate m_pfnDirectSoundCreate = nullptr;
    PFN_DirectInputCreateA m_pfnDirectInputCreateA = nullptr;
    IDirectSound* m_pDS = nullptr;
};

// The process-wide loader.
CDirectXDrivers& GetDirectXDrivers();

} // namespace Engine
