#include "platform/MessageBox.h"

#include <cstdio>
#include <mutex>

#include "platform/Detail.h"
#include "platform/SdlBridge.h"
#include "platform/Testing.h"

namespace {

struct CMessageBoxState {
    std::mutex mutex;
    Platform::Testing::MessageBoxHandler handler;
};

CMessageBoxState& State() {
    static CMessageBoxState state;
    return state;
}

Uint32 SdlFlags(UINT type) {
    switch (type & 0xF0) {
    case MB_ICONERROR: return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

} // namespace

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    text = text ? text : "";
    caption = caption ? caption : "Error";
    Platform::Testing::MessageBoxHandler handler;
    {
        CMessageBoxState& state = State();
        std::lock_guard lock(state.mutex);
        handler = state.handler;
    }
    if (handler) return handler(text, caption, type);
    SDL_Window* parent = Platform::GetSdlWindow(owner);
    // SDL's message box needs a display; it is not even tried without video.
    if (!Platform::EnsureSdlVideo() || SDL_ShowSimpleMessageBox(SdlFlags(type), caption, text, parent) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text);
    return IDOK;
}

namespace Platform::Detail {

void ResetMessageBox() {
    CMessageBoxState& state = State();
    std::lock_guard lock(state.mutex);
    state.handler = nullptr;
}

} // namespace Platform::Detail

namespace Platform::Testing {

void SetMessageBoxHandler(MessageBoxHandler handler) {
    CMessageBoxState& state = State();
    std::lock_guard lock(state.mutex);
    state.handler = std::move(handler);
}

} // namespace Platform::Testing
