#pragma once
// The particle library of a place file: the effect files its particle
// objects use and a stable numeric ID for every emitter of those files.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/Archive.h"
#include "app/Referenced.h"
#include "app/String.h"
#include "placefile/PlaceParticles.h"

namespace Engine::Graphics::PlaceFile {

class CPlaceFile;

class CVexaLibrary {
public:
    // (effect file name, emitter name)
    using CEntry = std::pair<CString, CString>;

    explicit CVexaLibrary(CPlaceFile* placeFile) : m_placeFile(placeFile) {}
    ~CVexaLibrary();
    CVexaLibrary(const CVexaLibrary&) = delete;
    CVexaLibrary& operator=(const CVexaLibrary&) = delete;

    // Reads the library data, loads its effect files and gives every
    // emitter of them an ID, keeping the stored IDs of known emitters.
    void Serialize(CArchive& ar);
    // Throws "CPlaceFile::CVexaLibrary::CreateEmitterByID(...) ID = %d :
    // FAILED" for an unknown ID.
    ref_ptr<IPlaceEmitter> CreateEmitterByID(uint32_t id);
    // The first ID from NextID upwards (wrapping) that no emitter holds.
    uint32_t NextFreeId();
    ref_ptr<CPlaceFile> GetPlaceFile() const;
    ref_ptr<IPlaceEffectFile> FindFile(const CString& name) const;

    const std::map<uint32_t, CEntry>& GetEmitterMap() const { return m_emitterMap; }
    const std::vector<ref_ptr<IPlaceEffectFile>>& GetFiles() const { return m_files; }
    uint32_t GetNextID() const { return m_nextID; }

private:
    void RebuildEmitterMap(const std::map<uint32_t, CEntry>& stored);
    void RebuildFileIndex();

    std::map<uint32_t, CEntry> m_emitterMap;
    std::vector<ref_ptr<IPlaceEffectFile>> m_files;
    std::map<std::string, size_t> m_fileIndex;  // the first file of each name in m_files
    uint32_t m_nextID = 0;
    CPlaceFile* m_placeFile;
};

} // namespace Engine::Graphics::PlaceFile
