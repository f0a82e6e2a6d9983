#pragma once
// Result codes, interface identifiers and the counted-interface base shared
// by the DirectX stand-ins. A failure code is negative, so FAILED() is a sign
// test; the values themselves are this layer's own.

#include <atomic>

#include "platform/WinTypes.h"

struct GUID {
    DWORD Data1 = 0;
    WORD Data2 = 0, Data3 = 0;
    BYTE Data4[8] = {};
    friend bool operator==(const GUID&, const GUID&) = default;
};

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = HRESULT(0x80000001u);
constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x80000002u);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80000003u);
constexpr HRESULT E_NOTIMPL = HRESULT(0x80000004u);
constexpr HRESULT E_NOINTERFACE = HRESULT(0x80000005u);
constexpr HRESULT E_POINTER = HRESULT(0x80000006u);

// Base of every stand-in interface: a reference count that deletes the
// object when the last holder releases it. Release returns the count left.
struct IUnknown {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

namespace Platform {

// Implements the counting of IUnknown for a concrete stand-in object.
template <class Interface>
class CUnknownImpl : public Interface {
public:
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        const ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> m_refs{1};
};

} // namespace Platform
