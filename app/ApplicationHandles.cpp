#include "app/ApplicationHandles.h"

#include "platform/Cursor.h"
#include "platform/Resources.h"

namespace Engine {

namespace {

struct CHandleState {
    bool initialised = false;
    CApplicationHandles handles;
};

// Used on the main thread only, as the windows that read it.
CHandleState& State() {
    static CHandleState state;
    return state;
}

} // namespace

void InitApplicationHandles(HINSTANCE instance) {
    CHandleState& state = State();
    state.handles.instance = instance;
    state.handles.icon = LoadIcon(instance, kProgramIconId);
    state.handles.cursor = LoadCursor(nullptr, IDC_ARROW);
    state.initialised = true;
}

const CApplicationHandles& GetApplicationHandles() {
    if (!State().initialised) InitApplicationHandles(GetModuleHandle(nullptr));
    return State().handles;
}

} // namespace Engine
