#include "graphics/drivers/DeviceLostTime.h"

namespace Engine::Graphics {

int64_t& DeviceLostSince() {
    static int64_t since = 0;
    return since;
}

} // namespace Engine::Graphics
