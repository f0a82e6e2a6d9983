#pragma once
// Checked field reads of an effect file. Short reads throw the archive's
// exception; every count and size is checked against the bytes left before
// anything is allocated, so a corrupted file can never ask for more memory
// than its own length justifies. The input keeps the file's key store, where
// its curves and gradients put their keys.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/Archive.h"
#include "particles/library/KeyStore.h"

namespace VexaParticles {

// The version from which keys carry flags and extras, emitters their
// sub-emitter start and files their trailer word.
inline constexpr uint32_t kVexaVersionLongKeys = 0x16000;
inline constexpr uint32_t kVexaVersionTrailerBlock = 0x23000;
inline constexpr uint32_t kVexaVersion = 0x24000;

class CVexaInput {
public:
    CVexaInput(CArchive& archive, uint32_t version);

    uint32_t Version() const { return m_version; }
    CArchive& Archive() { return m_archive; }

    uint32_t U32();
    int32_t I32() { return int32_t(U32()); }
    float F32();
    uint8_t U8();
    CString String();
    // size bytes; throws before allocating when fewer are left.
    std::vector<uint8_t> Bytes(uint32_t size);

    // A count of records of at least recordBytes each. Counts are signed: 0
    // or less reads nothing. Throws CVexaException naming what when the
    // records cannot fit in the bytes left.
    size_t Count(uint64_t recordBytes, const char* what);

    int64_t Remaining();

    CKeyStore& GetKeyStore() { return m_keyStore; }

private:
    CArchive& m_archive;
    uint32_t m_version;
    int64_t m_size;
    CKeyStore m_keyStore;
};

} // namespace VexaParticles
