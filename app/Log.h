#pragma once
// The process-wide log: one file opened for appending, every line prefixed
// with the local time and the current section indentation. A log over
// kRotateBytes when it is opened becomes "<name>.1" and a new one starts
// (app/LogFile.h); a line's text is cut at kMaxTextBytes.

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "app/Exception.h"

class CLog {
public:
    using Sink = std::function<void(std::string_view)>;
    using TimeSource = std::function<std::tm()>;

    CLog();
    ~CLog();
    CLog(const CLog&) = delete;
    CLog& operator=(const CLog&) = delete;

    static constexpr int64_t kRotateBytes = int64_t(1) << 20;
    static constexpr size_t kMaxTextBytes = 4096;

    // Opens (appending) the regular file that receives the log; false, with
    // errno set, when it cannot (a FIFO or a device is refused, never waited
    // on). A rotation that fails, and the first write that fails afterwards,
    // are reported on stderr.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const;
    // While disabled nothing is written.
    void SetEnabled(bool enabled);
    bool IsEnabled() const;
    // Also sends every piece of text to the sink (tests, stderr mirror).
    void SetSink(Sink sink);
    // Replaces local time in the prefix (tests).
    void SetTimeSource(TimeSource source);

    void BeginSection(const char* name);
    // Closes the last open section; does nothing when none is open.
    void EndSection();
    int GetIndent() const;

    void PrintLine(const char* format, ...) ENGINE_PRINTF(2, 3);
    void Printf(const char* format, ...) ENGINE_PRINTF(2, 3);
    void PrintLineRaw(const char* format, ...) ENGINE_PRINTF(2, 3);
    void PrintfRaw(const char* format, ...) ENGINE_PRINTF(2, 3);

private:
    void Write(bool prefixed, bool newline, const char* format, va_list args);
    std::string Prefix() const;
    void Emit(const std::string& text);
    void ReportWriteFailure(int error);

    mutable std::recursive_mutex m_mutex;
    std::FILE* m_file = nullptr;
    std::string m_path;
    bool m_writeFailed = false;  // reported once per opening
    bool m_enabled = true;
    std::vector<std::string> m_sections;
    Sink m_sink;
    TimeSource m_timeSource;
};

CLog& GetLog();

// Writes "Mosark: <line>" to stderr, for what must reach the user while no
// log can take it; the line is escaped as the log escapes its text.
void ReportToStderr(const std::string& line);

// The word the log's result lines end with.
inline const char* OkOrFailed(bool ok) { return ok ? "OK" : "FAILED"; }

// Writes "[name begin]" now and "[name end]" when the scope ends.
class CLogSection {
public:
    explicit CLogSection(const char* name) { GetLog().BeginSection(name); }
    ~CLogSection() { GetLog().EndSection(); }
    CLogSection(const CLogSection&) = delete;
    CLogSection& operator=(const CLogSection&) = delete;
};
