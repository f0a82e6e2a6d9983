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

HGLOBAL MakeBlock(const std::string& bytes, size_t terminatorSize) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + terminatorSize);
    if (void* data = GlobalLock(block)) {
        std::memcpy(data, bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    return block;
}

// The text of a block up to its terminating zero (units of unitSize bytes),
// never reading past the block.
std::string BlockText(HGLOBAL block, size_t unitSize) {
    const auto* data = static_cast<const BYTE*>(GlobalLock(block));
    const size_t size = GlobalSize(block);
    std::string text;
    for (size_t i = 0; data && i + unitSize <= size; i += unitSize) {
        bool zero = true;
        for (size_t k = 0; k < unitSize; ++k) zero = zero && data[i + k] == 0;
        if (zero) break;
        text.append(reinterpret_cast<const char*>(data + i), unitSize);
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
        const std::string wide = BlockText(data, 2);
        clip.pending = wide.empty() ? std::string() : Platform::Detail::ConvertText("UTF-8", "UTF-16LE", wide.data(), wide.size());
        clip.served.push_back(data);  // freed at close, as the clipboard owns it
        return data;
    }
    if (!clip.pending || clip.pending->empty()) clip.pending = BlockText(data, 1);
    clip.served.push_back(data);
    return data;
}

HGLOBAL GetClipboardData(UINT format) {
    CClipboard& clip = Clip();
    std::lock_guard lock(clip.mutex);
    if (!clip.open || (format != CF_TEXT && format != CF_UNICODETEXT)) return nullptr;
    const std::string text = clip.pending ? *clip.pending : ReadShared(clip);
    if (text.empty()) return nullptr;
    HGLOBAL block = format == CF_TEXT ? MakeBlock(text, 1)
                                      : MakeBlock(Platform::Detail::ConvertText("UTF-16LE", "UTF-8", text.data(), text.size()), 2);
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
