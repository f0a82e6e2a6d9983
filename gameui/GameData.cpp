#include "gameui/GameData.h"

#include "gameui/ControlSounds.h"
#include "sound/SoundManager.h"

namespace GameUi {

CGameData::CGameData(Engine::ref_ptr<Engine::Graphics::SprFile::CSprFileLocalManager> sprFiles,
                     Engine::ref_ptr<Engine::Sound::CSampleLocalManager> samples,
                     Engine::ref_ptr<Engine::Particles::CVexaFileLocalManager> particleFiles)
    : m_pSprFiles(std::move(sprFiles)), m_pSamples(std::move(samples)), m_pParticleFiles(std::move(particleFiles)),
      m_resources{m_pSprFiles.get(), m_pSamples.get(), m_pParticleFiles.get()} {}

CGameData::~CGameData() { ReleaseLocalManagers(); }

void CGameData::CreateLocalManagers(Engine::Graphics::CGraphics* graphics,
                                    Engine::Particles::CVexaFileManager* particleFiles) {
    ReleaseLocalManagers();
    if (particleFiles) m_pParticleFiles = new Engine::Particles::CVexaFileLocalManager(particleFiles);
    m_pPlaceFiles = Engine::Graphics::PlaceFile::CreatePlaceFileLocalManager(graphics);
    m_pSprFiles = Engine::Graphics::SprFile::CreateSprFileLocalManager(graphics);
    m_pMapFiles = MakeMapFileLocalManager(graphics);
    m_pSamples = new Engine::Sound::CSampleLocalManager(Engine::Sound::GetSoundManager());
    m_resources = {m_pSprFiles.get(), m_pSamples.get(), m_pParticleFiles.get()};
}

Engine::ref_ptr<Engine::Graphics::MapFile::CMapFileLocalManager> CGameData::MakeMapFileLocalManager(
    Engine::Graphics::CGraphics* graphics) {
    return Engine::Graphics::MapFile::CreateMapFileLocalManager(graphics);
}

void CGameData::ReleaseLocalManagers() {
    m_resources = {};
    // The place files first: their scenes share the sprite and effect files.
    m_pPlaceFiles.Release();
    m_pMapFiles.Release();
    // The effect files' uses go back before the holder lets the manager go.
    if (m_pParticleFiles) m_pParticleFiles->ReleaseAll();
    m_pParticleFiles.Release();
    m_pSamples.Release();
    m_pSprFiles.Release();
}

void CGameData::LoadControlResources() {
    if (m_pSprFiles) m_pSprFiles->GetSprFileNow(kControlSprites);
    if (m_pSamples)
        for (const char* name : {kClickSound, kFocusSound, kRingSound}) m_pSamples->LoadSample(name);
    if (m_pParticleFiles) m_pParticleFiles->GetVexaFile(kCommonEffects);
}

void CGameData::SetScaledSamples(Engine::ref_ptr<Engine::Sound::CSampleLocalManager> first,
                                 Engine::ref_ptr<Engine::Sound::CSampleLocalManager> second) {
    if (!first || !second) first = second = nullptr;
    m_scaledSamples = {std::move(first), std::move(second)};
    for (size_t i = 0; i < m_scaled.size(); ++i) m_scaled[i].samples = m_scaledSamples[i].get();
}

const Engine::CResourceHolder* CGameData::GetScaledResources(int index) const {
    if (index < 0 || index > 1 || !m_scaledSamples[size_t(index)]) return nullptr;
    return &m_scaled[size_t(index)];
}

} // namespace GameUi
