#pragma once
// The library's own input interface, and the adapter that lets the engine's
// archive read through it.

#include <cstddef>
#include <cstdint>

#include "app/File.h"

namespace VexaParticles {

class IVexaFileIO {
public:
    virtual ~IVexaFileIO() = default;
    virtual size_t Read(void* buffer, size_t size) = 0;
    virtual size_t Write(const void* buffer, size_t size) = 0;
    // origin: 0 start, 1 current, 2 end.
    virtual int Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() = 0;
};

// Forwards to the wrapped interface (not owned); GetSize and Skip are the
// stream base's own.
class CVexaFileIO : public Engine::CAbstractFile {
public:
    explicit CVexaFileIO(IVexaFileIO& io) : m_io(&io) {}

    size_t Read(void* buffer, size_t count) override { return m_io->Read(buffer, count); }
    size_t Write(const void* buffer, size_t count) override { return m_io->Write(buffer, count); }
    int Seek(int64_t offset, int origin) override { return m_io->Seek(offset, origin); }
    int64_t Tell() override { return m_io->Tell(); }

private:
    IVexaFileIO* m_io;
};

} // namespace VexaParticles
