#pragma once
// The application's game data for the game controls: flags and clocks the
// game sets, the named global values, fonts, and the resource holder whose
// local managers it owns.

#include <array>
#include <vector>

#include "app/GameData.h"
#include "graphics/Font.h"
#include "graphics/SprFileManager.h"
#include "particles/engine/VexaFileLocalManager.h"
#include "placefile/MapFileManager.h"
#include "placefile/PlaceFileManager.h"
#include "sound/SampleLocalManager.h"

namespace GameUi {

class CGameData : public Engine::IGameData {
public:
    // Without local managers until CreateLocalManagers.
    CGameData() = default;
    // Any manager may be null; the controls then load nothing through it.
    CGameData(Engine::ref_ptr<Engine::Graphics::SprFile::CSprFileLocalManager> sprFiles,
              Engine::ref_ptr<Engine::Sound::CSampleLocalManager> samples,
              Engine::ref_ptr<Engine::Particles::CVexaFileLocalManager> particleFiles);
    ~CGameData() override;

    // Makes one local manager of each kind, in this order: effect files (over
    // particleFiles; none when it is null), place files, sprite files and
    // map files (owned by the graphics object), and samples (the sound
    // manager's). Managers made before are released first.
    void CreateLocalManagers(Engine::Graphics::CGraphics* graphics, Engine::Particles::CVexaFileManager* particleFiles);
    // Drops the local managers, which hands back every use they recorded.
    void ReleaseLocalManagers();
    // Null without local managers.
    Engine::Graphics::PlaceFile::CPlaceFileLocalManager* GetPlaceFiles() const { return m_pPlaceFiles.get(); }
    Engine::Graphics::MapFile::CMapFileLocalManager* GetMapFiles() const { return m_pMapFiles.get(); }

    // Loads what the game controls draw, play and show through the holder:
    // "spr/controls.spr", the three control sounds and "vexa/common.vexa".
    // Throws the loaders' exceptions.
    void LoadControlResources();
    // Two holders whose sounds play scaled while scaling is on; null drops
    // both.
    void SetScaledSamples(Engine::ref_ptr<Engine::Sound::CSampleLocalManager> first,
                          Engine::ref_ptr<Engine::Sound::CSampleLocalManager> second);

    bool IsBusy() const override { return m_bBusy; }
    bool IsSoundSuppressed() const override { return m_bSoundSuppressed; }
    bool IsCursorLocked() const override { return m_bCursorLocked; }
    float GetEffectClock() const override { return m_fEffectClock; }
    Engine::CGlobalValueTable& GetGlobalValues() override { return m_globals; }
    Engine::CDialogTimings GetDialogTimings() const override { return m_timings; }
    Engine::ref_ptr<Engine::Graphics::CFont> GetHeadingFont() const override { return m_pHeadingFont; }
    Engine::ref_ptr<Engine::Graphics::CFont> GetBodyFont() const override { return m_pBodyFont; }
    const std::vector<Engine::ref_ptr<Engine::Particles::CVexaFile>>& GetParticleFiles() const override {
        return m_particleFiles;
    }
    const Engine::CResourceHolder& GetResources() const override { return m_resources; }
    const Engine::CResourceHolder* GetScaledResources(int index) const override;
    bool IsSoundScaling() const override { return m_bSoundScaling; }
    float GetSoundScalingFactor() const override { return m_fSoundScalingFactor; }

    bool m_bBusy = false;
    bool m_bSoundSuppressed = false;
    bool m_bCursorLocked = false;
    float m_fEffectClock = 0.0f;
    Engine::CGlobalValueTable m_globals;
    Engine::CDialogTimings m_timings;
    Engine::ref_ptr<Engine::Graphics::CFont> m_pHeadingFont;
    Engine::ref_ptr<Engine::Graphics::CFont> m_pBodyFont;
    std::vector<Engine::ref_ptr<Engine::Particles::CVexaFile>> m_particleFiles;
    bool m_bSoundScaling = false;
    float m_fSoundScalingFactor = 1.0f;

protected:
    // The map-file manager that CreateLocalManagers makes; a test makes one
    // that records uses, which the engine's own never does.
    virtual Engine::ref_ptr<Engine::Graphics::MapFile::CMapFileLocalManager> MakeMapFileLocalManager(
        Engine::Graphics::CGraphics* graphics);

private:
    Engine::ref_ptr<Engine::Graphics::PlaceFile::CPlaceFileLocalManager> m_pPlaceFiles;
    Engine::ref_ptr<Engine::Graphics::MapFile::CMapFileLocalManager> m_pMapFiles;
    Engine::ref_ptr<Engine::Graphics::SprFile::CSprFileLocalManager> m_pSprFiles;
    Engine::ref_ptr<Engine::Sound::CSampleLocalManager> m_pSamples;
    Engine::ref_ptr<Engine::Particles::CVexaFileLocalManager> m_pParticleFiles;
    Engine::CResourceHolder m_resources;
    std::array<Engine::ref_ptr<Engine::Sound::CSampleLocalManager>, 2> m_scaledSamples;
    std::array<Engine::CResourceHolder, 2> m_scaled;
};

} // namespace GameUi
