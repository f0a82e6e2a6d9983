#include "controls/ControlText.h"

#include <algorithm>
#include <string>

namespace Engine::Controls {

namespace {

// The range [start, start + count) cut to [0, length).
std::pair<int, int> ClampRange(int length, int start, int count) {
    start = std::clamp(start, 0, length);
    count = std::clamp(count, 0, length - start);
    return {start, count};
}

} // namespace

CWString WideSubstring(const CWString& source, int start, int count) {
    const auto [from, n] = ClampRange(source.GetLength(), start, count);
    if (n == source.GetLength()) return source;
    return CWString(source.view().substr(size_t(from), size_t(n)));
}

int WideErase(CWString& text, int position, int count) {
    const int length = text.GetLength();
    const auto [from, n] = ClampRange(length, position, count);
    if (n == 0) return length;
    std::u16string rest = text.str();
    rest.erase(size_t(from), size_t(n));
    text = CWString(rest);
    return length;
}

} // namespace Engine::Controls
