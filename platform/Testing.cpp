#include "platform/Testing.h"

#include <array>
#include <mutex>

#include "platform/Detail.h"
#include "platform/DirectSound.h"

namespace {

struct CFailures {
    std::mutex mutex;
    std::array<int, size_t(Platform::Testing::Failure::Count)> pending{};
};

CFailures& Failures() {
    static CFailures failures;
    return failures;
}

} // namespace

namespace Platform::Testing {

void FailNext(Failure failure, int count) {
    CFailures& f = Failures();
    std::lock_guard lock(f.mutex);
    f.pending[size_t(failure)] = count > 0 ? count : 0;
}

bool ConsumeFailure(Failure failure) {
    CFailures& f = Failures();
    std::lock_guard lock(f.mutex);
    int& pending = f.pending[size_t(failure)];
    if (pending == 0) return false;
    --pending;
    return true;
}

void Reset() {
    using namespace Platform::Detail;
    ResetDirect3D8();
    ResetDirectDraw();
    ResetWgl();
    ResetGdi();
    ResetSwappedPictures();
    ResetWindows();
    ResetMessages();
    ResetEvents();
    ResetKeyboard();
    ResetDirectInput();
    ResetDisplay();
    ResetCursor();
    ResetClipboard();
    ResetLibraries();
    ResetSystem();
    ResetRegistry();
    ResetFileAccess();
    ResetMessageBox();
    ResetFailures();
    UseRealClock();
    UseManualSound(false);
}

} // namespace Platform::Testing

void Platform::Detail::ResetFailures() {
    CFailures& f = Failures();
    std::lock_guard lock(f.mutex);
    f.pending.fill(0);
}
