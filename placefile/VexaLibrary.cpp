#include "placefile/VexaLibrary.h"

#include "app/Exception.h"
#include "app/LoadingQuitCheck.h"
#include "placefile/PlaceFile.h"
#include "placefile/PlaceReading.h"

namespace Engine::Graphics::PlaceFile {

namespace {
// ID and two empty strings.
constexpr uint64_t MIN_ENTRY_BYTES = 6;
PlaceParticleFactory g_particleFactory = nullptr;

const char* NameOrNull(const CString& name) {
    return name.IsEmpty() ? nullptr : name.c_str();
}

// The particle library reports a damaged file with its own exceptions, or
// the archive's, whose messages do not say which file: the place file's
// load fails with an engine exception that does.
ref_ptr<IPlaceEffectFile> OpenEffectFile(IPlaceEffectFiles& files, const CString& name) {
    try {
        return files.GetVexaFile(NameOrNull(name));
    } catch (const std::exception& e) {
        throw Engine::CException::Format("Effect file '%s' : %s", name.c_str(), e.what());
    }
}
} // namespace

void SetPlaceParticleFactory(PlaceParticleFactory factory) {
    g_particleFactory = factory;
}

PlaceParticleFactory GetPlaceParticleFactory() {
    return g_particleFactory;
}

CVexaLibrary::~CVexaLibrary() {
    m_fileIndex.clear();
    m_files.clear();
    m_emitterMap.clear();
}

void CVexaLibrary::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    m_nextID = ReadUInt(ar);
    const uint32_t count = ReadUInt(ar);
    CheckCount(ar, count, MIN_ENTRY_BYTES);
    std::map<uint32_t, CEntry> stored;
    for (uint32_t i = 0; i < count; ++i) {
        Engine::CLoadingQuitCheck::Count();
        const uint32_t id = ReadUInt(ar);
        CEntry entry;
        ar.ReadString(entry.first);
        ar.ReadString(entry.second);
        stored[id] = std::move(entry);
    }
    SkipChunk(ar);
    const uint32_t fileCount = ReadUInt(ar);
    CheckCount(ar, fileCount, 1);
    ref_ptr<IPlaceEffectFiles> files = GetPlaceFile()->GetVexaFileLocalManager();
    for (uint32_t i = 0; i < fileCount; ++i) {
        Engine::CLoadingQuitCheck::Count();
        CString name;
        ar.ReadString(name);
        if (files) m_files.push_back(OpenEffectFile(*files, name));
    }
    RebuildFileIndex();
    RebuildEmitterMap(stored);
}

void CVexaLibrary::RebuildEmitterMap(const std::map<uint32_t, CEntry>& stored) {
    m_emitterMap.clear();
    // The lowest stored ID of each entry: the map is in ID order and the
    // first emplace of an entry wins.
    std::map<std::pair<std::string, std::string>, uint32_t> storedIds;
    for (const auto& [storedID, storedEntry] : stored) {
        Engine::CLoadingQuitCheck::Count();
        storedIds.emplace(std::pair(storedEntry.first.str(), storedEntry.second.str()), storedID);
    }
    for (const ref_ptr<IPlaceEffectFile>& file : m_files) {
        for (const CString& emitter : file->GetEmitterNames()) {
            Engine::CLoadingQuitCheck::Count();
            CEntry entry(file->GetName(), emitter);
            const auto known = storedIds.find(std::pair(entry.first.str(), entry.second.str()));
            const uint32_t id = known != storedIds.end() ? known->second : NextFreeId();
            m_emitterMap[id] = std::move(entry);
        }
    }
}

void CVexaLibrary::RebuildFileIndex() {
    m_fileIndex.clear();
    for (size_t i = 0; i < m_files.size(); ++i) m_fileIndex.emplace(m_files[i]->GetName().str(), i);
}

uint32_t CVexaLibrary::NextFreeId() {
    // At most one full turn: the map cannot hold every ID.
    while (m_emitterMap.count(m_nextID)) ++m_nextID;
    return m_nextID;
}

ref_ptr<CPlaceFile> CVexaLibrary::GetPlaceFile() const {
    return ref_ptr<CPlaceFile>(m_placeFile);
}

ref_ptr<IPlaceEffectFile> CVexaLibrary::FindFile(const CString& name) const {
    const auto found = m_fileIndex.find(name.str());
    return found == m_fileIndex.end() ? nullptr : m_files[found->second];
}

ref_ptr<IPlaceEmitter> CVexaLibrary::CreateEmitterByID(uint32_t id) {
    const auto found = m_emitterMap.find(id);
    if (found == m_emitterMap.end())
        throw Engine::CException::Format("CPlaceFile::CVexaLibrary::CreateEmitterByID(...) ID = %d : FAILED", int(id));
    const ref_ptr<IPlaceEffectFile> file = FindFile(found->second.first);
    if (!file)
        throw Engine::CException::Format("CPlaceFile::CVexaLibrary::CreateEmitterByID(...) ID = %d : FAILED", int(id));
    try {
        return file->CreateEmitter(NameOrNull(found->second.second), 0.0f);
    } catch (const std::exception& e) {
        // An effect without a name, or a library failure: the place file's
        // load fails with the file named.
        throw Engine::CException::Format("CPlaceFile::CVexaLibrary::CreateEmitterByID(...) ID = %d : FAILED : Effect "
                                         "file '%s' : %s",
                                         int(id), found->second.first.c_str(), e.what());
    }
}

} // namespace Engine::Graphics::PlaceFile
