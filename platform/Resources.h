#pragma once
// The program's module and the resources linked into it. There is one
// module, the program itself; its icon groups are linked in by the program
// at start-up (as a resource compiler would have placed them), each group
// holding one picture in several sizes.

#include <cstdint>
#include <vector>

#include "platform/WinTypes.h"

// Null asks for the program's own module, the only one: any other name gives
// null.
HMODULE GetModuleHandle(const char* name);

// The icon group `id` of the module; one handle per group for the life of
// the process. Null for a group the module does not hold (there are no
// system icons: a null instance gives null).
HICON LoadIcon(HINSTANCE instance, int id);

namespace Platform {

struct CIconImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows from the top
};

// Links an icon group into the module; a group of the same id is replaced,
// and handles already given out then show the new pictures. False for a
// module that is not the program's, no image, or an image whose pixel
// count is not its width times its height.
bool RegisterIconGroup(HMODULE module, int id, std::vector<CIconImage> images);

// The pictures of an icon, largest first; null for a handle that is not an
// icon. Valid for the life of the process.
const std::vector<CIconImage>* GetIconImages(HICON icon);

} // namespace Platform
