#pragma once
// The application's process-wide instance, icon and cursor handles, which
// every driver's window class carries.

#include "platform/WinTypes.h"

namespace Engine {

// The program's icon group among its own resources.
constexpr int kProgramIconId = 101;

struct CApplicationHandles {
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
};

// The instance given, its icon group kProgramIconId (null when it has none)
// and the arrow cursor.
void InitApplicationHandles(HINSTANCE instance);
// As InitApplicationHandles left them; before the first call, the handles
// of the program's own module.
const CApplicationHandles& GetApplicationHandles();

} // namespace Engine
