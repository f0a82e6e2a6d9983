#include "shell/ControlsSymbolFont.h"

#include "app/Exception.h"
#include "app/Locale.h"
#include "app/Log.h"

namespace Engine {

ref_ptr<Graphics::CFont> LoadSymbolFont(Graphics::SprFile::CSprFileLocalManager& sprFiles) {
    try {
        const CLocaleFont* record = GetLocaleManager().FindFont(kSymbolFontName);
        if (!record) throw CException::Format("Font '%s' : not in the locale", kSymbolFontName);
        return Graphics::CreateFontFromSprite(*record, sprFiles.LoadSprFile(kSymbolFontFile, false));
    } catch (const CException& e) {
        GetLog().PrintLine("Controls : no symbol font : %s", e.what());
        return nullptr;
    }
}

} // namespace Engine
