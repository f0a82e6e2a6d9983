#pragma once
// Warnings that a file's elements can repeat, held to a few of each kind: a
// file of a million bad elements must not write a million log lines. One
// object serves one read of one file. The first kLinesPerKind lines of each
// kind are written word for word; the rest are only counted, and
// WriteCounts, at the end of the read, writes "<kind> : N more skipped" once
// for each kind that had more.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/Exception.h"

namespace Engine {

class CRepeatedLogLines {
public:
    static constexpr uint64_t kLinesPerKind = 10;

    // Writes the line as CLog::PrintLine does, unless kLinesPerKind lines of
    // its kind were written already (a held-back line is not even
    // formatted). The kind is the text its count line starts with: it names
    // what went wrong without the element's own details, so that a file
    // cannot make more kinds than the reader has lines.
    void PrintLine(std::string_view kind, const char* format, ...) ENGINE_PRINTF(3, 4);
    // The count lines, in the order the kinds first came; afterwards every
    // kind starts again, as for the next file.
    void WriteCounts();

private:
    struct CKind {
        std::string text;
        uint64_t lines = 0;
    };
    CKind& Find(std::string_view kind);

    std::vector<CKind> m_kinds;
};

} // namespace Engine
