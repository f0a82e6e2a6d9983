#pragma once
// The running game's data as the game's interface controls see it: flags,
// clocks, named global values, fonts and the resource holders whose local
// managers the controls load their sprites, sounds and effects through.
// The application owns the object; controls reach it through their
// controls manager, its driver and CApplication::GetGameData, and behave
// quietly when there is none.

#include <vector>

#include "app/Global.h"
#include "app/Referenced.h"

namespace Engine {

namespace Graphics {
class CFont;
namespace SprFile {
class CSprFileLocalManager;
}
} // namespace Graphics
namespace Sound {
class CSampleLocalManager;
}
namespace Particles {
class CVexaFile;
class CVexaFileLocalManager;
} // namespace Particles

// One owner's local managers (not owned here; any may be null).
struct CResourceHolder {
    Graphics::SprFile::CSprFileLocalManager* sprFiles = nullptr;
    Sound::CSampleLocalManager* samples = nullptr;
    Particles::CVexaFileLocalManager* particleFiles = nullptr;
};

// The large dialogs' opening: frame fade-in, unrolling and children's
// reveal in seconds, and the part of the unrolling during which the
// children already appear.
struct CDialogTimings {
    float frameFadeIn = 0.0f;
    float unrolling = 0.0f;
    float childrenReveal = 0.0f;
    float overlap = 0.0f;
};

class IGameData {
public:
    virtual ~IGameData() = default;

    // While set, game buttons ignore presses and control sounds stay silent.
    virtual bool IsBusy() const = 0;
    virtual bool IsSoundSuppressed() const = 0;
    // While set, game buttons leave the cursor alone.
    virtual bool IsCursorLocked() const = 0;
    bool IsHoverSoundSuppressed() const { return IsSoundSuppressed() || IsCursorLocked(); }
    // Seconds; the start time of new particle emitters.
    virtual float GetEffectClock() const = 0;
    virtual CGlobalValueTable& GetGlobalValues() = 0;
    virtual CDialogTimings GetDialogTimings() const = 0;
    virtual ref_ptr<Graphics::CFont> GetHeadingFont() const = 0;
    virtual ref_ptr<Graphics::CFont> GetBodyFont() const = 0;
    virtual const std::vector<ref_ptr<Particles::CVexaFile>>& GetParticleFiles() const = 0;

    virtual const CResourceHolder& GetResources() const = 0;
    // The two scaled holders (index 0 or 1), both present or both null.
    virtual const CResourceHolder* GetScaledResources(int index) const = 0;
    virtual bool IsSoundScaling() const = 0;
    virtual float GetSoundScalingFactor() const = 0;
};

} // namespace Engine
