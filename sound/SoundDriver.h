#pragma once
// The sound driver interface: opens the output and makes samples.

#include <cstdint>

#include "app/Referenced.h"
#include "app/String.h"
#include "sound/Sample.h"

namespace Engine::Sound {

class CSampleDecoder;

// Parameters of a driver's Init; each driver derives its own.
class CDriverParams {
public:
    virtual ~CDriverParams() = default;
};

class CSoundDriver {
public:
    virtual ~CSoundDriver() = default;
    // flags bit 0: mono (else stereo); bit 1: 16 bits (else 8).
    virtual bool Init(const CDriverParams* params, int32_t sampleRate, uint32_t flags) = 0;
    virtual void Done() = 0;
    virtual ref_ptr<CSampleBase> CreateSample(CString name, CSampleDecoder* decoder) = 0;
    virtual ref_ptr<CSampleBase> CreateSampleQueue(CString name, CSampleDecoder* decoder) = 0;
};

} // namespace Engine::Sound
