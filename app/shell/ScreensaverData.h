#pragma once
// The screensaver's data set: the font, the hints, the background scenes
// and the ambient tracks, each loaded by one step and held through this
// owner's local managers, which hand everything back when it goes.

#include <vector>

#include "app/String.h"
#include "graphics/Font.h"
#include "graphics/SprFileManager.h"
#include "placefile/PlaceFileManager.h"
#include "sound/SampleLocalManager.h"

namespace Engine {

class CScreensaverData {
public:
    // The font record of "xml/Locale.xml" and the sprite file of its glyphs.
    static constexpr char kFontName[] = "main";
    static constexpr char kFontFile[] = "spr/font.spr";
    static constexpr char kScenePattern[] = "place/bg%i.place";
    static constexpr char kTrackPattern[] = "ogg/tracks/ambient%i.ogg";

    explicit CScreensaverData(Graphics::CGraphics* graphics);
    ~CScreensaverData();
    CScreensaverData(const CScreensaverData&) = delete;
    CScreensaverData& operator=(const CScreensaverData&) = delete;

    // The loading steps. Each throws Engine::CException when what it loads
    // cannot be read; the scenes and tracks skip a bad file (logged) and go
    // on with the next number.
    void LoadFont();
    void LoadHints();
    void LoadScenes();
    void LoadAmbientTracks();

    // Plays the track looping from silence, fading in over a second; false
    // (logged) when it cannot be played.
    bool PlayTrack(const CString& name);

    const ref_ptr<Graphics::CFont>& GetFont() const { return m_font; }
    const std::vector<CString>& GetHints() const { return m_hints; }
    const std::vector<ref_ptr<Graphics::PlaceFile::CPlaceFile>>& GetScenes() const { return m_scenes; }
    const std::vector<CString>& GetTracks() const { return m_tracks; }

private:
    Graphics::CGraphics* m_graphics;
    ref_ptr<Graphics::SprFile::CSprFileLocalManager> m_sprFiles;
    ref_ptr<Graphics::PlaceFile::CPlaceFileLocalManager> m_placeFiles;
    ref_ptr<Sound::CSampleLocalManager> m_samples;
    ref_ptr<Graphics::CFont> m_font;
    std::vector<CString> m_hints;
    std::vector<ref_ptr<Graphics::PlaceFile::CPlaceFile>> m_scenes;
    std::vector<CString> m_tracks;
};

} // namespace Engine
