#include "app/RepeatedLogLines.h"

#include <cstdarg>

#include "app/Log.h"

namespace Engine {

CRepeatedLogLines::CKind& CRepeatedLogLines::Find(std::string_view kind) {
    // A reader has a handful of kinds: a walk beats a map.
    for (CKind& known : m_kinds) {
        if (known.text == kind) return known;
    }
    return m_kinds.emplace_back(CKind{std::string(kind)});
}

void CRepeatedLogLines::PrintLine(std::string_view kind, const char* format, ...) {
    CKind& counted = Find(kind);
    if (++counted.lines > kLinesPerKind) return;
    va_list args;
    va_start(args, format);
    const CString line = FormatStringV(format, args);
    va_end(args);
    GetLog().PrintLine("%s", line.c_str());
}

void CRepeatedLogLines::WriteCounts() {
    for (const CKind& kind : m_kinds) {
        if (kind.lines <= kLinesPerKind) continue;
        GetLog().PrintLine("%s : %llu more skipped", kind.text.c_str(),
                           static_cast<unsigned long long>(kind.lines - kLinesPerKind));
    }
    m_kinds.clear();
}

} // namespace Engine
