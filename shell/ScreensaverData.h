#pragma once
// The screensaver's data set: the font, the hints, the background scenes
// and the ambient tracks, each loaded by one step and held through this
// owner's local managers, which hand everything back when it goes. The
// tracks step only checks each track and keeps its name: a track is loaded
// when it is played, and the one it replaces goes, so however many tracks
// there are, one track's file, ring and event exist at a time. It is
// the application's current game data: its global values, its font and its
// effect clock are what the game's controls and effects read.

#include <vector>

#include "app/String.h"
#include "graphics/Font.h"
#include "gameui/GameData.h"
#include "graphics/SprFileManager.h"
#include "placefile/PlaceFileManager.h"
#include "particles/engine/ParticleSystem.h"
#include "sound/SampleLocalManager.h"

namespace Engine {

class CScreensaverData : public GameUi::CGameData {
public:
    // The font record of "xml/Locale.xml" and the sprite file of its glyphs.
    static constexpr char kFontName[] = "main";
    static constexpr char kFontFile[] = "spr/font.spr";
    static constexpr char kScenePattern[] = "place/bg%i.place";
    static constexpr char kTrackPattern[] = "ogg/tracks/ambient%i.ogg";

    // Without a particle system (null) it holds no effect files.
    CScreensaverData(Graphics::CGraphics* graphics, Particles::CParticleSystem* particles);
    ~CScreensaverData() override;
    CScreensaverData(const CScreensaverData&) = delete;
    CScreensaverData& operator=(const CScreensaverData&) = delete;

    // The loading steps. Each throws Engine::CException when what it loads
    // cannot be read; the scenes and tracks skip a bad file (logged, the
    // first few of each kind in the step, then their count) and go on with
    // the next number. A quit found while one runs cuts it with
    // CLoadCancelled, and no file after it is tried. A track is checked by
    // opening its stream, reading its header and closing it again, and
    // counts an interval of loading work, so the quit watch looks after
    // every track.
    void LoadFont();
    void LoadHints();
    void LoadScenes();
    void LoadAmbientTracks();

    // Lets the track played before go, then loads this one and plays it
    // looping from silence, fading in over a second; false (logged, and the
    // track let go) when it cannot be played.
    bool PlayTrack(const CString& name);
    // Lets the playing track go: its voice, file, ring and event.
    void ReleaseTrack();

    // The heading and body font both; null until loaded.
    const ref_ptr<Graphics::CFont>& GetFont() const { return m_pBodyFont; }
    const std::vector<CString>& GetHints() const { return m_hints; }
    const std::vector<ref_ptr<Graphics::PlaceFile::CPlaceFile>>& GetScenes() const { return m_scenes; }
    const std::vector<CString>& GetTracks() const { return m_tracks; }

private:
    std::vector<CString> m_hints;
    std::vector<ref_ptr<Graphics::PlaceFile::CPlaceFile>> m_scenes;
    std::vector<CString> m_tracks;
    // Holds the one track loaded, apart from the holder's samples, so that
    // it can be let go alone.
    ref_ptr<Sound::CSampleLocalManager> m_pTrackSamples;
};

} // namespace Engine
