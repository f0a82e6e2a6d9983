#include "platform/Clipboard.h"

#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Detail.h"
#include "platform/GlobalMemory.h"
#include "platform/SdlBridge.h"
#include "platform/Testing.h"
#include "platform/Unicode.h"

namespace {

struct CClipboard {
    std::recursive_mutex mutex;
    bool open = false;
    std::optional<std::string> pending;  // UTF-8 text set since opening
    std::vector<HGLOBAL> served;
    std::string local;  // the clipboard when SDL has no video
};

CClipboard& Clip() {
    static CClipboard clipboard;
    return clipboard;
}

std::string ReadShared(CClipboard& clip) {
    if (!Platform::EnsureSdlVideo()) return clip.local;
    if (!SDL_HasClipboardText()) return {};
    char* text = SDL_GetClipboardText();
    std::string result = text ? text : "";
    SDL_free(text);
    return result;
}

void WriteShared(CClipboard& clip, const std::string& text) {
    if (!Platform::EnsureSdlVideo() || SDL_SetClipboardText(text.c_str()) != 0) clip.local = text;
}

// A block holding the text and a terminating zero unit.
template <class Char>
HGLOBAL MakeBlock(std::basic_string_view<Char> text) {
    const size_t bytes = text.size() * sizeof(Char);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes + sizeof(Char));
    if (auto* data = static_cast<BYTE*>(GlobalLock(block))) {
        std::memcpy(data, text.data(), bytes);
        std::memset(data + bytes, 0, sizeof(Char));
        GlobalUnlock(block);
    }
    return block;
}

// The text of a block up to its terminating zero unit, never reading past
// the block.
template <class Char>
std::basic_string<Char> BlockText(HGLOBAL block) {
    const auto* data = static_cast<const BYTE*>(GlobalLock(block));
    const size_t units = data ? GlobalSize(block) / sizeof(Char) : 0;
    std::basic_string<Char> text;
    for (size_t i = 0; i < units; ++i) {
        Char unit;
        std::memcpy(&unit, data + i * sizeof(Char), sizeof(Char));
        if (unit == 0) break;
        text.push_back(unit);
    }
    GlobalUnlock(block);
    return text;
}

} // namespace

BOOL OpenClipboard(HWND) {
    CClipboard& clip = Clip();
    std::lock_guard lock(clip.mutex);
    if (clip.open || Platform::Testing::ConsumeFailure(Platform::Testing::Failure::ClipboardOpen)) return FALSE;
    clip.open = true;
    clip.pending.reset();
    return TRUE;
}

BOOL CloseClipboard() {
    CClipboard& clip = Clip();
    std::lock_guard lock(clip.mutex);
    if (!clip.open) return FALSE;
    clip.open = false;
    if (clip.pending) WriteShared(clip, *clip.pending);
    clip.pending.reset();
    for (HGLOBAL block : clip.served) GlobalFree(block);
    clip.served.clear();
    return TRUE;
}

BOOL EmptyClipboard() {
    CClipboard& clip = Clip();
    std::lock_guard lock(clip.mutex);
    if (!clip.open) return FALSE;
    clip.pending = std::string();
    return TRUE;
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL data) {
    CClipboard& clip = Clip();
    std::lock_guard lock(clip.mutex);
    if (!clip.open || (format != CF_TEXT && format != CF_UNICODETEXT) || !GlobalLock(data)) return nullptr;
    GlobalUnlock(data);
    // Unicode text wins over ANSI text set in the same session: it is the
    // form that loses nothing.
    if (format == CF_UNICODETEXT) {
        clip.pending = Platform::Utf16ToUtf8(BlockText<char16_t>(data));
        clip.served.push_back(data);  // freed at close, as the clipboard owns it
        return data;
    }
    if (!clip.pending || clip.pending->empty()) clip.pending = BlockText<char>(data);
    clip.served.push_back(data);
    return data;
}

HGLOBAL GetClipboardData(UINT format) {
    CClipboard& clip = Clip();
    std::lock_guard lock(clip.mutex);
    if (!clip.open || (format != CF_TEXT && format != CF_UNICODETEXT)) return nullptr;
    const std::string text = clip.pending ? *clip.pending : ReadShared(clip);
    if (text.empty()) return nullptr;
    HGLOBAL block = format == CF_TEXT ? MakeBlock(std::string_view(text))
                                      : MakeBlock(std::u16string_view(Platform::Utf8ToUtf16(text)));
    if (block) clip.served.push_back(block);
    return block;
}

namespace Platform::Detail {

void ResetClipboard() {
    CClipboard& clip = Clip();
    std::lock_guard lock(clip.mutex);
    for (HGLOBAL block : clip.served) GlobalFree(block);
    clip.served.clear();
    clip.open = false;
    clip.pending.reset();
    clip.local.clear();
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_SetClipboardText("");
}

} // namespace Platform::Detail
