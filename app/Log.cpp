#include "app/Log.h"

#include <chrono>

#include "app/LogEscape.h"

CLog::CLog() = default;

CLog::~CLog() { Close(); }

bool CLog::Open(const std::string& path) {
    std::lock_guard lock(m_mutex);
    if (m_file) std::fclose(m_file);
    m_file = std::fopen(path.c_str(), "ab");
    return m_file != nullptr;
}

void CLog::Close() {
    std::lock_guard lock(m_mutex);
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
}

void CLog::SetEnabled(bool enabled) { std::lock_guard lock(m_mutex); m_enabled = enabled; }
bool CLog::IsEnabled() const { std::lock_guard lock(m_mutex); return m_enabled; }
void CLog::SetSink(Sink sink) { std::lock_guard lock(m_mutex); m_sink = std::move(sink); }
void CLog::SetTimeSource(TimeSource source) { std::lock_guard lock(m_mutex); m_timeSource = std::move(source); }

int CLog::GetIndent() const {
    std::lock_guard lock(m_mutex);
    return int(m_sections.size());
}

std::string CLog::Prefix() const {
    std::tm now{};
    if (m_timeSource) {
        now = m_timeSource();
    } else {
        const std::time_t t = std::time(nullptr);
        localtime_r(&t, &now);
    }
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%02d:%02d:%02d] ", now.tm_hour, now.tm_min, now.tm_sec);
    return std::string(stamp) + std::string(m_sections.size() * 2, ' ');
}

void CLog::Emit(const std::string& text) {
    if (m_file) {
        std::fwrite(text.data(), 1, text.size(), m_file);
        std::fflush(m_file);
    }
    if (m_sink) m_sink(text);
}

void CLog::BeginSection(const char* name) {
    std::lock_guard lock(m_mutex);
    if (!m_enabled) return;
    Emit(Prefix() + "[" + EscapeForLog(name) + " begin]\n");
    m_sections.emplace_back(name);
}

void CLog::EndSection() {
    std::lock_guard lock(m_mutex);
    if (!m_enabled || m_sections.empty()) return;
    const std::string name = std::move(m_sections.back());
    m_sections.pop_back();
    Emit(Prefix() + "[" + EscapeForLog(name) + " end]\n");
}

void CLog::Write(bool prefixed, bool newline, const char* format, va_list args) {
    std::lock_guard lock(m_mutex);
    if (!m_enabled) return;
    std::string text = prefixed ? Prefix() : std::string();
    text += EscapeForLog(FormatStringV(format, args).view());
    if (newline) text += '\n';
    Emit(text);
}

#define CLOG_FORWARD(prefixed, newline)         \
    va_list args;                               \
    va_start(args, format);                     \
    Write(prefixed, newline, format, args);     \
    va_end(args)

void CLog::PrintLine(const char* format, ...) { CLOG_FORWARD(true, true); }
void CLog::Printf(const char* format, ...) { CLOG_FORWARD(true, false); }
void CLog::PrintLineRaw(const char* format, ...) { CLOG_FORWARD(false, true); }
void CLog::PrintfRaw(const char* format, ...) { CLOG_FORWARD(false, false); }

#undef CLOG_FORWARD

CLog& GetLog() {
    static CLog log;
    return log;
}
