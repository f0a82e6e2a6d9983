#include "app/Log.h"

#include <unistd.h>

#include <cerrno>

#include "app/LogEscape.h"
#include "app/LogFile.h"
#include "platform/FileAccess.h"

namespace {

// Cuts text over the limit at a character boundary and says how much went.
std::string_view CutText(std::string_view text, std::string& note) {
    if (text.size() <= CLog::kMaxTextBytes) return text;
    size_t end = CLog::kMaxTextBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    note = " ... [" + std::to_string(text.size() - end) + " more bytes]";
    return text.substr(0, end);
}

} // namespace

CLog::CLog() = default;

CLog::~CLog() { Close(); }

bool CLog::Open(const std::string& path) {
    std::lock_guard lock(m_mutex);
    Close();
    int fd = OpenLogForAppending(path);
    if (fd < 0) return false;
    std::string rotationFailure;
    fd = RotateLogIfOver(fd, path, kRotateBytes, rotationFailure);
    // Nobody would hear of it otherwise, and the log is not open yet.
    if (!rotationFailure.empty()) ReportToStderr(rotationFailure);
    if (fd < 0) return false;
    m_file = ::fdopen(fd, "ab");
    if (!m_file) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    m_path = path;
    m_writeFailed = false;
    return true;
}

void CLog::Close() {
    std::lock_guard lock(m_mutex);
    if (m_file && std::fclose(m_file) != 0) ReportWriteFailure(errno);
    m_file = nullptr;
}

bool CLog::IsOpen() const {
    std::lock_guard lock(m_mutex);
    return m_file != nullptr;
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
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), m_file) != text.size() || std::fflush(m_file) != 0)
            ReportWriteFailure(errno ? errno : EIO);
    }
    if (m_sink) m_sink(text);
}

// A log that cannot be written reaches nobody: stderr hears of it, once.
void CLog::ReportWriteFailure(int error) {
    if (m_writeFailed) return;
    m_writeFailed = true;
    ReportToStderr("cannot write the log '" + m_path + "' : " + Platform::DescribeFileError(error));
}

void ReportToStderr(const std::string& line) {
    // A terminal acts on control bytes just as it would reading the log.
    const std::string text = "Mosark: " + EscapeForLog(line) + "\n";
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

void CLog::BeginSection(const char* name) {
    std::lock_guard lock(m_mutex);
    if (!m_enabled) return;
    std::string note;
    Emit(Prefix() + "[" + EscapeForLog(CutText(name, note)) + note + " begin]\n");
    m_sections.emplace_back(name);
}

void CLog::EndSection() {
    std::lock_guard lock(m_mutex);
    if (!m_enabled || m_sections.empty()) return;
    const std::string name = std::move(m_sections.back());
    m_sections.pop_back();
    std::string note;
    Emit(Prefix() + "[" + EscapeForLog(CutText(name, note)) + note + " end]\n");
}

void CLog::Write(bool prefixed, bool newline, const char* format, va_list args) {
    std::lock_guard lock(m_mutex);
    if (!m_enabled) return;
    std::string text = prefixed ? Prefix() : std::string();
    const CString formatted = FormatStringV(format, args);
    std::string note;
    text += EscapeForLog(CutText(formatted.view(), note));
    text += note;
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
