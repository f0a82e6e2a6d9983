#pragma once
// The DirectSound object as far as the engine's loader holds it: created
// through "dsound.dll"'s DirectSoundCreate, shared, and released by its last
// user. The sound stand-in gives it its operations.

#include "platform/Com.h"

struct IDirectSound : IUnknown {};

// device null: the default device. outer must be null.
using PFN_DirectSoundCreate = HRESULT (*)(const GUID* device, IDirectSound** created, IUnknown* outer);
