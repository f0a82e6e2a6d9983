#include "controls/ControlClipboard.h"

#include <cstring>

#include "platform/Clipboard.h"
#include "platform/GlobalMemory.h"

namespace Engine::Controls {

namespace {

// A moveable shared block with the bytes and a zero terminator of unit size.
HGLOBAL MakeTextBlock(const void* data, size_t bytes, size_t unit) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes + unit);
    if (!block) return nullptr;
    if (void* target = GlobalLock(block)) {
        std::memcpy(target, data, bytes);
        GlobalUnlock(block);
        return block;
    }
    GlobalFree(block);
    return nullptr;
}

void Publish(UINT format, HGLOBAL block) {
    if (block && !SetClipboardData(format, block)) GlobalFree(block);
}

} // namespace

bool SetClipboardText(HWND owner, const CWString& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    if (!text.IsEmpty()) {
        Publish(CF_UNICODETEXT, MakeTextBlock(text.c_str(), text.GetLength() * sizeof(char16_t), sizeof(char16_t)));
        // The ANSI code page here is UTF-8.
        const CString ansi = WideToUtf8(text);
        Publish(CF_TEXT, MakeTextBlock(ansi.c_str(), ansi.GetLength(), 1));
    }
    CloseClipboard();
    return true;
}

CWString GetClipboardText(HWND owner) {
    if (!OpenClipboard(owner)) return CWString();
    CWString text;
    if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(block))) {
            text = Utf8ToWide(CString(bytes, int(strnlen(bytes, GlobalSize(block)))));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace Engine::Controls
