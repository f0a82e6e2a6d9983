#pragma once
// Shared helpers of the file, pack, archive and configuration tests: a
// scratch folder and a capture of the process-wide log.

#include <stdlib.h>

#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/File.h"
#include "app/Log.h"

namespace TestFiles {

// A fresh folder under the system's temporary folder, removed at the end.
class CScratchFolder {
public:
    CScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "mosark_XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~CScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

    // Writes a file (creating its folders) and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const auto path = m_path / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

private:
    std::filesystem::path m_path;
};

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Reads a whole stream from its current position.
inline std::string ReadAll(Engine::CAbstractFile& file) {
    std::string bytes;
    char buffer[1000];
    while (size_t got = file.Read(buffer, sizeof buffer)) bytes.append(buffer, got);
    return bytes;
}

// Sets (or, with null, removes) an environment variable until it goes.
class CScopedEnvironment {
public:
    CScopedEnvironment(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~CScopedEnvironment() { m_old ? ::setenv(m_name.c_str(), m_old->c_str(), 1) : ::unsetenv(m_name.c_str()); }
    CScopedEnvironment(const CScopedEnvironment&) = delete;
    CScopedEnvironment& operator=(const CScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// Collects what the process-wide log writes while it lives.
class CLogCapture {
public:
    CLogCapture() {
        GetLog().SetSink([this](std::string_view text) { m_text += text; });
        GetLog().SetTimeSource([] { return std::tm{}; });
    }
    ~CLogCapture() {
        GetLog().SetSink(nullptr);
        GetLog().SetTimeSource(nullptr);
    }
    const std::string& Text() const { return m_text; }
    bool Contains(const std::string& part) const { return m_text.find(part) != std::string::npos; }

private:
    std::string m_text;
};

} // namespace TestFiles
