#include "particles/engine/VexaFileManager.h"

#include "app/Exception.h"
#include "app/File.h"
#include "particles/engine/ParticleSystem.h"
#include "particles/engine/VexaFileIO.h"

namespace Engine::Particles {

ref_ptr<CVexaFile> CVexaFileManager::OpenVexaFile(const CString& name) {
    if (ref_ptr<CVexaFile> loaded = LookupObject(name)) {
        RegisterObject(loaded);
        return loaded;
    }
    Engine::CFile stream;
    if (!stream.Open(name))
        throw Engine::CException::Format("CFileManager::CFile::Open(...) : FAILED : Can't open file '%s'", name.c_str());
    CVexaFileIO io(stream);
    // Registered under the normalised name, which every look-up uses.
    ref_ptr<CVexaFile> file(new CVexaFile(name, m_owner->GetLibrary().LoadFromFile(io, name.c_str())));
    RegisterObject(file);
    return file;
}

} // namespace Engine::Particles
