#include "particles/library/VexaParticleLibrary.h"

#include "app/Exception.h"
#include "particles/library/VexaException.h"
#include "particles/library/VexaGraphicsException.h"
#include "particles/library/VexaInput.h"

namespace VexaParticles {

void CVexaParticleLibrary::Init(VexaGraphics::IDevice* device) {
    m_device = device;
    m_nCapacity = kParticleCapacity;
    if (!device) return;
    const int32_t result =
        device->CreateVertexBuffer(m_vertexBuffer, m_nCapacity * 4, kVertexBytes, kVertexFormat, 0);
    if (result < 0) {
        m_vertexBuffer.reset();
        throw VexaGraphics::CVexaGraphicsException("Can't particles vertex buffer", result);
    }
}

std::unique_ptr<CVexaFile> CVexaParticleLibrary::Read(Engine::CAbstractFile& stream, const char* errorName,
                                                      const char* name) {
    auto corrupted = [errorName](const char* detail) {
        return *errorName ? CVexaException("Invalid or corrupted .vexa file %s: %s", errorName, detail)
                          : CVexaException("Invalid or corrupted .vexa file: %s", detail);
    };
    auto file = std::make_unique<CVexaFile>(this, name);
    CArchive archive(&stream, false);
    // A short read keeps the archive's own exception and message; the
    // library's format errors name the file and say what was wrong.
    const uint32_t version = CVexaFile::ReadHeader(archive);
    try {
        CVexaInput input(archive, version);
        file->ReadContents(input);
    } catch (const CVexaException& e) {
        throw corrupted(e.what());
    }
    if (stream.Tell() != stream.GetSize()) throw CVexaException("Invalid or corrupted .vexa file %s", errorName);
    return file;
}

std::unique_ptr<IVexaFile> CVexaParticleLibrary::LoadFromFile(IVexaFileIO& io, const char* name) {
    CVexaFileIO stream(io);
    return Read(stream, "", name);
}

std::unique_ptr<IVexaFile> CVexaParticleLibrary::Load(const char* path) {
    Engine::CFile stream;
    if (!stream.Open(CString(path))) throw CVexaException("Unable to open .vexa file '%s'", path);
    const CString quoted = FormatString("'%s'", path);
    return Read(stream, quoted.c_str(), path);
}

} // namespace VexaParticles
