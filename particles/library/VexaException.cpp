#include "particles/library/VexaException.h"

#include <cstdarg>
#include <cstdio>

namespace VexaParticles {

CVexaException::CVexaException(const char* format, ...) {
    // Grow from 32 bytes until the text fits; the standard formatter reports
    // the needed length rather than a negative result when it truncates.
    std::string buffer(32, '\0');
    for (;;) {
        va_list args;
        va_start(args, format);
        const int written = std::vsnprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (written < 0) {
            buffer.clear();
            break;
        }
        if (size_t(written) < buffer.size()) {
            buffer.resize(size_t(written));
            break;
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
    m_message = std::move(buffer);
}

} // namespace VexaParticles
