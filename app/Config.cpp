#include "app/Config.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "app/Archive.h"
#include "app/Exception.h"
#include "app/File.h"
#include "app/Log.h"
#include "platform/FileAccess.h"

namespace Engine {

namespace {

uint32_t Checksum(const uint8_t* data, size_t size) {
    return uint32_t(crc32(crc32(0L, Z_NULL, 0), data, uInt(size)));
}

bool IsVolume(float volume) { return volume >= 0.0f && volume <= 1.0f; }

// Why an image is not a usable configuration; empty when it is one.
CString Check(const uint8_t* image, size_t size, CConfig& config) {
    CMemoryFile file(image, size);
    CArchive ar(&file, false);
    uint32_t id = 0, version = 0, length = 0, stored = 0;
    try {
        ar.ReadDWord(id);
        if (id != CConfig::kFileId) return "not a configuration file";
        ar.ReadDWord(version);
        if (version > CConfig::kVersion) return "written by a newer version";
        if (version < CConfig::kVersion) return "unknown version";
        ar.ReadDWord(length);
        if (length != CConfig::kPayloadSize || size != CConfig::kFileSize) return "wrong size";
        file.Seek(-4, SEEK_FROM_END);
        ar.ReadDWord(stored);
        if (stored != Checksum(image, size - 4)) return "checksum mismatch";
        file.Seek(12, SEEK_FROM_START);
        config.Serialize(ar);
    } catch (const CException& e) {
        return e.GetMessage();
    }
    return config.IsValid() ? CString() : CString("value out of range");
}

} // namespace

void CConfig::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteFloat(soundVolumes[0]);
        ar.WriteFloat(soundVolumes[1]);
        ar.WriteByte(playAmbientSounds ? 1 : 0);
        ar.WriteDWord(backgroundChangeSeconds);
        return;
    }
    uint8_t ambient = 0;
    ar.ReadFloat(soundVolumes[0]);
    ar.ReadFloat(soundVolumes[1]);
    ar.ReadByte(ambient);
    if (ambient > 1) throw CException::Format("CConfig::Serialize() : FAILED : invalid flag %u", ambient);
    playAmbientSounds = ambient == 1;
    ar.ReadDWord(backgroundChangeSeconds);
}

bool CConfig::IsValid() const {
    return IsVolume(soundVolumes[0]) && IsVolume(soundVolumes[1]) &&
           std::find(std::begin(kChangeTimes), std::end(kChangeTimes), backgroundChangeSeconds) != std::end(kChangeTimes);
}

bool CConfig::Load(CAbstractFile& file, const CString& name) {
    *this = CConfig();
    const int64_t size = file.GetSize();
    CString problem("wrong size");
    // One byte more than expected is enough to tell "too long".
    if (size >= 0 && size <= int64_t(kFileSize) + 1) {
        CMemoryFile image(file, size_t(size));
        CConfig loaded;
        problem = Check(image.GetData(), image.Size(), loaded);
        if (problem.IsEmpty()) *this = loaded;
    }
    if (!problem.IsEmpty()) GetLog().PrintLine("CConfig::Load('%s') : %s, using defaults", name.c_str(), problem.c_str());
    return problem.IsEmpty();
}

bool CConfig::Load(const CString& path, bool* isAbsent) {
    // A status that cannot be read (a failing disk, a network home answering
    // ESTALE) is not an absent file: only ENOENT says there is none.
    const Platform::CFileStatus status = Platform::QueryFileStatus(path.str());
    if (isAbsent) *isAbsent = status.IsAbsent();
    CStdioFile file;
    if (status.error == 0 && file.Open(path.c_str(), "rb")) return Load(file, path);
    const int error = status.error ? status.error : errno;
    *this = CConfig();
    if (status.IsAbsent())
        GetLog().PrintLine("CConfig::Load('%s') : no configuration file, using defaults", path.c_str());
    else
        GetLog().PrintLine("CConfig::Load('%s') : the file exists but could not be read : %s, using defaults",
                           path.c_str(), Platform::DescribeFileError(error).c_str());
    return false;
}

void CConfig::Store(CAbstractFile& file) const {
    CMemoryFile image;
    CArchive ar(&image, true);
    ar.WriteDWord(kFileId);
    ar.WriteDWord(kVersion);
    ar.WriteDWord(kPayloadSize);
    CConfig(*this).Serialize(ar);
    ar.WriteDWord(Checksum(image.GetData(), image.Size()));
    CArchive(&file, true).Write(image.GetData(), image.Size());
}

bool CConfig::Save(const CString& path) const {
    CMemoryFile image;
    Store(image);
    if (ReplaceFileContents(path, image.GetData(), image.Size())) return true;
    GetLog().PrintLine("CConfig::Save('%s') : FAILED : cannot write the file : %s", path.c_str(), std::strerror(errno));
    return false;
}

} // namespace Engine

