#include "shell/ScreensaverData.h"

#include <string_view>

#include "app/Exception.h"
#include "app/File.h"
#include "app/LoadingQuitCheck.h"
#include "app/Locale.h"
#include "app/Log.h"
#include "app/ProcessEnd.h"
#include "app/RepeatedLogLines.h"
#include "sound/SampleDecoder.h"
#include "sound/SampleManager.h"
#include "sound/SoundManager.h"

namespace Engine {

namespace {
// What the count lines of the skipped files start with.
constexpr std::string_view kSceneSkipKind = "Scenes : place file skipped";
constexpr std::string_view kTrackSkipKind = "Ambient tracks : track skipped";

// Calls load with each numbered name of the pattern, from 1, while such a
// file exists; a file that fails is logged and the next one tried: one
// damaged file must not end the program. The lines of the scan fold as a
// file's repeated warnings do (app/RepeatedLogLines.h), under `skipKind` for
// the skipped files and under the kinds load gives its own: many damaged
// files must not write a line each. A place file's load turns whatever its
// scene data throws into an engine exception naming the file. Each file
// tried counts a whole interval of work however its read ended, so that a
// quit is seen after the file in hand even when every file fails before
// its reader counts. A load cut by a quit is no failure: its CLoadCancelled
// passes, and no file after it is tried.
template <class Load>
void ForEachNumberedFile(const char* pattern, std::string_view skipKind, Load load) {
    CRepeatedLogLines warnings;
    for (int i = 1;; ++i) {
        const CString name = FormatString(pattern, i);
        if (!FileExists(name)) break;
        try {
            load(name, warnings);
        } catch (const std::exception& e) {
            warnings.PrintLine(skipKind, "%s : skipped : %s", name.c_str(), e.what());
        }
        CLoadingQuitCheck::Count(CFrameQuitWatch::kCheckInterval);
    }
    warnings.WriteCounts();
}

// Whether the track's stream opens and its header reads. Its file is closed
// again at once: a track holds nothing until it is played.
bool StreamOpens(Sound::CSampleDecoder& decoder, const CString& name, CRepeatedLogLines& warnings) {
    const ref_ptr<Sound::CSampleDecoder::CContext> context(new Sound::CSampleDecoder::CContext(name));
    const bool opens = Sound::OpenStream(decoder, *context, 0, warnings);
    Sound::CloseStream(*context);
    return opens;
}
} // namespace

CScreensaverData::CScreensaverData(Graphics::CGraphics* graphics, Particles::CParticleSystem* particles) {
    CreateLocalManagers(graphics, particles ? &particles->GetFileManager() : nullptr);
    m_pTrackSamples = new Sound::CSampleLocalManager(Sound::GetSoundManager());
}

CScreensaverData::~CScreensaverData() {
    // The scenes use the sprite files the holder's managers keep: they go
    // first.
    m_scenes.clear();
    CProcessEnd::Leave(std::move(m_hints));
    m_pTrackSamples.Release();
    ReleaseLocalManagers();
    m_pHeadingFont.Release();
    m_pBodyFont.Release();
}

void CScreensaverData::LoadFont() {
    const CLocaleFont* record = GetLocaleManager().FindFont(kFontName);
    if (!record) throw CException::Format("Font '%s' : not in the locale", kFontName);
    m_pBodyFont = Graphics::CreateFontFromSprite(*record, GetResources().sprFiles->GetSprFile(kFontFile));
    m_pHeadingFont = m_pBodyFont;
    GetLog().PrintLine("Font '%s' : %d characters", kFontName, int(record->characters.size()));
}

void CScreensaverData::LoadHints() {
    for (int i = 1;; ++i) {
        const CString key = FormatString("HINT_%d", i);
        if (!GetLocaleManager().HasString(key)) break;
        m_hints.push_back(GetLocaleManager().FindString(key));
        CLoadingQuitCheck::Count();
    }
    GetLog().PrintLine("Hints : %d", int(m_hints.size()));
}

void CScreensaverData::LoadScenes() {
    ForEachNumberedFile(kScenePattern, kSceneSkipKind, [this](const CString& name, CRepeatedLogLines&) {
        m_scenes.push_back(GetPlaceFiles()->GetPlaceFile(name));
    });
    GetLog().PrintLine("Scenes : %d", int(m_scenes.size()));
}

void CScreensaverData::LoadAmbientTracks() {
    const Sound::CSoundManager& sound = Sound::GetSoundManager();
    Sound::CSampleDecoder* decoder = sound.GetDecoder();
    if (!sound.GetDriver() || !sound.GetSampleManager() || !decoder) throw CException("Ambient tracks : no sound");
    const auto check = [this, decoder](const CString& name, CRepeatedLogLines& warnings) {
        if (!StreamOpens(*decoder, name, warnings)) throw CException("cannot be played");
        m_tracks.push_back(name);
    };
    ForEachNumberedFile(kTrackPattern, kTrackSkipKind, check);
    GetLog().PrintLine("Ambient tracks : %d", int(m_tracks.size()));
}

bool CScreensaverData::PlayTrack(const CString& name) {
    ReleaseTrack();
    try {
        Sound::CSampleManager* samples = Sound::GetSoundManager().GetSampleManager();
        if (!samples) throw CException("no sound");
        // A file that no longer opens or decodes leaves its voice without a
        // buffer.
        const ref_ptr<Sound::CSampleBase> loaded = m_pTrackSamples->GetSample(name.c_str());
        if (!loaded || loaded->GetBufferCount() < 1 || !loaded->GetBuffer(0).IsCreated())
            throw CException("cannot be played");
        const ref_ptr<Sound::CSampleBase> track = samples->FindSample(name);
        Sound::CPlayParams params;
        params.loop = true;
        params.fadeLevel = 0.0f;
        if (!track->Play(&params) || track->GetBufferCount() < 1) throw CException("Play() : FAILED");
        track->GetBuffer(0).FadeIn(1.0f);
        GetLog().PrintLine("Playing '%s'", name.c_str());
        return true;
    } catch (const std::exception& e) {
        ReleaseTrack();
        GetLog().PrintLine("Playing '%s' : FAILED : %s", name.c_str(), e.what());
        return false;
    }
}

void CScreensaverData::ReleaseTrack() {
    if (m_pTrackSamples) m_pTrackSamples->ReleaseAll();
}

} // namespace Engine
