#pragma once
// The binary configuration file: the screensaver's two settings and the two
// sound group volumes, in a checksummed image (see docs/formats.md).

#include <cstdint>

#include "app/String.h"

class CArchive;

namespace Engine {

class CAbstractFile;

struct CConfig {
    static constexpr uint32_t kFileId = 0x4746434D;  // "MCFG"
    static constexpr uint32_t kVersion = 1;
    static constexpr uint32_t kPayloadSize = 13;
    static constexpr uint32_t kFileSize = 12 + kPayloadSize + 4;
    static constexpr uint32_t kChangeTimes[] = {30, 60, 180, 300};

    float soundVolumes[2] = {1.0f, 1.0f};
    bool playAmbientSounds = true;
    uint32_t backgroundChangeSeconds = 60;

    // The payload fields, in file order.
    void Serialize(CArchive& ar);
    bool IsValid() const;

    // A missing, unreadable, short, foreign, newer, corrupt or out-of-range
    // file gives the defaults, one log line and false; it never throws.
    // isAbsent is told whether the file is known not to exist (only then
    // may it be saved over without a load).
    bool Load(const CString& path, bool* isAbsent = nullptr);
    bool Load(CAbstractFile& file, const CString& name);
    // Replaces the file (a link's target) through a temporary one; false,
    // with a log line, when it could not be written (the old file then stays
    // as it was).
    bool Save(const CString& path) const;
    // The complete file image.
    void Store(CAbstractFile& file) const;

    friend bool operator==(const CConfig&, const CConfig&) = default;
};

} // namespace Engine
