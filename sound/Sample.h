#pragma once
// The samples of the sound manager: a sound loaded from one file (or, for a
// queue, from a list of files played back to back) with its voices.

#include <cstdint>

#include "app/ManagedObject.h"
#include "app/Referenced.h"
#include "sound/Buffer.h"

namespace Engine::Sound {

class CSampleBase : public CReferenced, public CManagedObject {
public:
    // Stores the name with backslashes turned into slashes.
    explicit CSampleBase(const CString& name) : CManagedObject(name) {}
    ~CSampleBase() noexcept(false) override = default;

    // voices 0: one streamed voice; n > 0: n voices sharing one decoded copy.
    virtual bool Create(int32_t voices, int32_t group) = 0;
    virtual bool Play(const CPlayParams* params) = 0;
    // index below GetBufferCount().
    virtual CBuffer& GetBuffer(int32_t index) = 0;
    virtual int32_t GetBufferCount() const = 0;

    // Which group volume applies to the voices (0 or 1).
    int32_t GetGroup() const { return m_group; }

protected:
    int32_t m_group = 0;
};

class CSample : public CSampleBase {
public:
    using CSampleBase::CSampleBase;
};

class CSampleQueue : public CSampleBase {
public:
    using CSampleBase::CSampleBase;
    // Appends a file; it is opened by CreateBuffers.
    virtual void Enqueue(const char* name) = 0;
    // Sets up the voices from the files enqueued so far.
    virtual void CreateBuffers() = 0;
};

} // namespace Engine::Sound
