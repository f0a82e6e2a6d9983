#pragma once
// A drawing device or buffer operation failed: the message and the device's
// negative result.

#include <cstdint>
#include <exception>
#include <string>

namespace VexaParticles::VexaGraphics {

class CVexaGraphicsException : public std::exception {
public:
    CVexaGraphicsException(const char* message, int32_t result) : m_message(message), m_result(result) {}

    const char* what() const noexcept override { return m_message.c_str(); }
    int32_t GetResult() const { return m_result; }

private:
    std::string m_message;
    int32_t m_result;
};

} // namespace VexaParticles::VexaGraphics
