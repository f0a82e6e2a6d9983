#pragma once
// The widgets over the controls fixture: a font of known widths, key and
// character injection, a clock for the controls' timers, and the widgets'
// registrations for the whole suite.

#include <memory>
#include <string>

#include "app/Registration.h"
#include "controls/WidgetRegistration.h"
#include "reflection/Builtins.h"
#include "tests/controls/ControlsFixture.h"
#include "tests/graphics/SprFileTestData.h"
#include "tools/SymbolFont.h"

namespace ControlsTesting {

// Records the commands and notifications that reach it.
class CListener : public CBaseControl {
public:
    struct CHeard {
        uint32_t code;
        int32_t value;  // command ID or notification code
        CBaseControl* from;
        friend bool operator==(const CHeard&, const CHeard&) = default;
    };
    bool HandleEvent(ControlEvent& event) override {
        if (event.code == CE_COMMAND) heard.push_back({event.code, int32_t(event.commandId), event.other});
        if (event.code == CE_NOTIFY) heard.push_back({event.code, event.notifyCode, event.other});
        if (event.code == CE_MENU) heard.push_back({event.code, 0, event.other});
        return CBaseControl::HandleEvent(event);
    }
    size_t Count(uint32_t code) const {
        return size_t(std::count_if(heard.begin(), heard.end(), [code](const CHeard& h) { return h.code == code; }));
    }
    std::vector<CHeard> heard;
};

class WidgetsFixture : public ControlsFixture {
protected:
    static void SetUpTestSuite() {
        registration = std::make_unique<Engine::CStartupRegistration>(std::initializer_list<std::span<const Engine::CStartupHook>>{
            Engine::Reflection::GetStartupHooks(), GetStartupHooks()});
    }
    static void TearDownTestSuite() { registration.reset(); }

    // Glyphs 'a' to 'e' and ' ', 10 pixels wide and 20 high.
    static ref_ptr<Engine::Graphics::CFont> MakeFont() {
        Engine::CLocaleFont record;
        record.sprite = "glyphs";
        record.characters = {u'a', u'b', u'c', u'd', u'e', u' '};
        return Engine::Graphics::CreateFontFromSprite(
            record, SprTestData::ReadSprFile(Tools::WriteSpr(SprTestData::StripDocument(
                                                 "glyphs", std::vector<int32_t>(6, 10), 20)),
                                             "spr/font.spr", true));
    }

    // The frame-glyph characters, in the demo font's order, each glyph 7
    // pixels wide and 9 high; with its texture, so that a glyph's frame
    // shows in its texture coordinates.
    static constexpr int32_t kSymbolWidth = 7, kSymbolHeight = 9;
    ref_ptr<Engine::Graphics::CFont> MakeSymbolFont() {
        Engine::CLocaleFont record;
        record.sprite = "symbols";
        record.characters = Tools::SymbolFontCharacters();
        const auto file = SprTestData::ReadSprFile(
            Tools::WriteSpr(SprTestData::StripDocument(
                "symbols", std::vector<int32_t>(record.characters.size(), kSymbolWidth), kSymbolHeight)),
            "spr/symbols.spr", false, nullptr, &driver);
        file->CreateTextures();
        return Engine::Graphics::CreateFontFromSprite(record, file);
    }

    void Key(uint32_t key, uint32_t character = 0) {
        manager->PostKeyEvent({KeyRecord::KEY_DOWN, key, 0});
        if (character) manager->PostKeyEvent({KeyRecord::CHARACTER, 0, char16_t(character)});
        Frame();
        manager->PostKeyEvent({KeyRecord::KEY_UP, key, 0});
        Frame();
    }
    void Type(const std::u16string& text) {
        for (char16_t c : text) manager->PostKeyEvent({KeyRecord::CHARACTER, 0, c});
        Frame();
    }
    void Shift(bool down) { keys[0x2A] = down ? 0x80 : 0; }
    // Advances the controls' clock to t seconds.
    void Tick(double t) { manager->Tick(t, 0.02); }

    static inline std::unique_ptr<Engine::CStartupRegistration> registration;
};

} // namespace ControlsTesting
