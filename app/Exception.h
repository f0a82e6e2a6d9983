#pragma once
// The engine's exception and printf-style formatting into engine strings.

#include <cstdarg>
#include <exception>

#include "app/String.h"

#if defined(__GNUC__)
#define ENGINE_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define ENGINE_PRINTF(fmt, args)
#endif

// Formats printf-style into a new string; never truncates.
CString FormatString(const char* format, ...) ENGINE_PRINTF(1, 2);
CString FormatStringV(const char* format, va_list args);

namespace Engine {

class CException : public std::exception {
public:
    explicit CException(CString message) : m_message(std::move(message)) {}
    // Formats the message printf-style.
    static CException Format(const char* format, ...) ENGINE_PRINTF(1, 2);

    const char* what() const noexcept override { return m_message.c_str(); }
    const CString& GetMessage() const { return m_message; }

private:
    CString m_message;
};

} // namespace Engine
