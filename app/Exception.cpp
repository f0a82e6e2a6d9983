#include "app/Exception.h"

#include <cstdio>

CString FormatStringV(const char* format, va_list args) {
    CString result;
    result.FormatV(format, args);
    return result;
}

CString FormatString(const char* format, ...) {
    va_list args;
    va_start(args, format);
    CString result = FormatStringV(format, args);
    va_end(args);
    return result;
}

namespace Engine {

CException CException::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    CString message = FormatStringV(format, args);
    va_end(args);
    return CException(std::move(message));
}

} // namespace Engine
