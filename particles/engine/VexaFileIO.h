#pragma once
// The particle library's input over an engine stream.

#include "app/File.h"
#include "particles/library/VexaFileIO.h"

namespace Engine::Particles {

class CVexaFileIO : public VexaParticles::IVexaFileIO {
public:
    // The stream is not owned.
    explicit CVexaFileIO(Engine::CAbstractFile& file) : m_file(&file) {}

    size_t Read(void* buffer, size_t size) override { return m_file->Read(buffer, size); }
    size_t Write(const void* buffer, size_t size) override { return m_file->Write(buffer, size); }
    int Seek(int64_t offset, int origin) override { return m_file->Seek(offset, origin); }
    int64_t Tell() override { return m_file->Tell(); }

private:
    Engine::CAbstractFile* m_file;
};

} // namespace Engine::Particles
