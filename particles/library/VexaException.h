#pragma once
// The particle library's own failure: a formatted message text.

#include <exception>
#include <string>

#include "app/Exception.h"

namespace VexaParticles {

class CVexaException : public std::exception {
public:
    // Formats the message printf-style.
    explicit CVexaException(const char* format, ...) ENGINE_PRINTF(2, 3);

    const char* what() const noexcept override { return m_message.c_str(); }
    const std::string& GetMessage() const { return m_message; }

private:
    std::string m_message;
};

} // namespace VexaParticles
