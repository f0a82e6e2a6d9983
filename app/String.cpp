#include "app/String.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "platform/Unicode.h"

using Engine::Detail::CStringHeader;

namespace {
// The shared empty buffer is marked with this count and never counted.
constexpr int32_t kStaticRefs = -1;

template <class Ch>
size_t Measure(const Ch* text) {
    return std::char_traits<Ch>::length(text);
}
} // namespace

template <class Ch>
constinit Engine::Detail::CEmptyStringRep<Ch> CBasicString<Ch>::s_empty{{kStaticRefs, 0, 0}, Ch(0)};

template <class Ch>
Ch* CBasicString<Ch>::Allocate(int capacity) {
    if (capacity < 0 || size_t(capacity) > (std::numeric_limits<int32_t>::max() - sizeof(CStringHeader)) / sizeof(Ch) - 1)
        throw std::length_error("string too long");
    void* raw = std::malloc(sizeof(CStringHeader) + (size_t(capacity) + 1) * sizeof(Ch));
    if (!raw) throw std::bad_alloc();
    auto* header = new (raw) CStringHeader{1, 0, capacity};
    Ch* chars = reinterpret_cast<Ch*>(header + 1);
    chars[0] = Ch(0);
    return chars;
}

template <class Ch>
void CBasicString<Ch>::ReleaseBuffer() noexcept {
    if (IsSharedEmpty()) return;
    CStringHeader* header = Header();
    if (header->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        header->~CStringHeader();
        std::free(header);
    }
    m_chars = &s_empty.terminator;
}

template <class Ch>
void CBasicString<Ch>::Assign(View text) {
    if (text.empty()) return;
    if (text.size() > size_t(std::numeric_limits<int32_t>::max() / 2)) throw std::length_error("string too long");
    Ch* chars = Allocate(int(text.size()));
    std::char_traits<Ch>::copy(chars, text.data(), text.size());
    chars[text.size()] = Ch(0);
    m_chars = chars;
    Header()->length = int32_t(text.size());
}

template <class Ch>
CBasicString<Ch>::CBasicString(const Ch* text) : m_chars(&s_empty.terminator) {
    if (text) Assign(View(text, Measure(text)));
}

template <class Ch>
CBasicString<Ch>::CBasicString(const Ch* text, int count) : m_chars(&s_empty.terminator) {
    if (!text || count == 0) return;
    size_t n = count < 0 ? Measure(text) : size_t(count);
    const Ch* end = std::char_traits<Ch>::find(text, n, Ch(0));
    if (end) n = size_t(end - text);
    Assign(View(text, n));
}

template <class Ch>
CBasicString<Ch>::CBasicString(View text) : m_chars(&s_empty.terminator) {
    Assign(text);
}

template <class Ch>
CBasicString<Ch>::CBasicString(const CBasicString& other) noexcept : m_chars(other.m_chars) {
    if (!IsSharedEmpty()) Header()->refs.fetch_add(1, std::memory_order_relaxed);
}

template <class Ch>
CBasicString<Ch>::CBasicString(CBasicString&& other) noexcept : m_chars(other.m_chars) {
    other.m_chars = &s_empty.terminator;
}

template <class Ch>
CBasicString<Ch>::~CBasicString() {
    ReleaseBuffer();
}

template <class Ch>
CBasicString<Ch>& CBasicString<Ch>::operator=(const CBasicString& other) noexcept {
    if (m_chars != other.m_chars) {
        CBasicString copy(other);
        std::swap(m_chars, copy.m_chars);
    }
    return *this;
}

template <class Ch>
CBasicString<Ch>& CBasicString<Ch>::operator=(CBasicString&& other) noexcept {
    if (this != &other) {
        ReleaseBuffer();
        m_chars = std::exchange(other.m_chars, &s_empty.terminator);
    }
    return *this;
}

template <class Ch>
Ch* CBasicString<Ch>::GetBuffer(int minCapacity) {
    const int length = GetLength();
    const bool shared = IsSharedEmpty() || Header()->refs.load(std::memory_order_acquire) > 1;
    if (!shared && Header()->capacity >= minCapacity) return m_chars;
    if (IsSharedEmpty() && minCapacity <= 0) minCapacity = 1;
    int capacity = std::max(minCapacity, length);
    if (!shared) capacity = std::max(capacity, Header()->capacity + Header()->capacity / 2);
    Ch* chars = Allocate(capacity);
    std::char_traits<Ch>::copy(chars, m_chars, size_t(length) + 1);
    reinterpret_cast<CStringHeader*>(chars)[-1].length = length;
    ReleaseBuffer();
    m_chars = chars;
    return m_chars;
}

template <class Ch>
void CBasicString<Ch>::SetLength(int length) {
    if (IsSharedEmpty()) {
        if (length <= 0) return;
        GetBuffer(length);
    }
    GetBuffer(0);
    length = std::clamp(length, 0, Header()->capacity);
    Header()->length = length;
    m_chars[length] = Ch(0);
}

template <class Ch>
int CBasicString<Ch>::Insert(int pos, const CBasicString& other) {
    const int length = GetLength();
    if (other.IsEmpty()) return length;
    const CBasicString keep(other); // other may be *this
    pos = std::clamp(pos, 0, length);
    const int added = keep.GetLength();
    Ch* chars = GetBuffer(length + added);
    std::char_traits<Ch>::move(chars + pos + added, chars + pos, size_t(length - pos) + 1);
    std::char_traits<Ch>::copy(chars + pos, keep.c_str(), size_t(added));
    Header()->length = length + added;
    return length + added;
}

template <class Ch>
void CBasicString<Ch>::AppendChar(Ch ch) {
    const Ch one[1] = {ch};
    Append(View(one, 1));
}

template <class Ch>
CBasicString<Ch>& CBasicString<Ch>::Append(View text) {
    if (text.empty()) return *this;
    const std::basic_string<Ch> keep(text); // text may point into this buffer
    const int length = GetLength();
    if (keep.size() > size_t(std::numeric_limits<int32_t>::max() / 2 - length)) throw std::length_error("string too long");
    Ch* chars = GetBuffer(length + int(keep.size()));
    std::char_traits<Ch>::copy(chars + length, keep.data(), keep.size());
    Header()->length = length + int(keep.size());
    chars[Header()->length] = Ch(0);
    return *this;
}

template <class Ch>
int CBasicString<Ch>::Compare(const CBasicString& other) const {
    using U = std::make_unsigned_t<Ch>;
    const View a = view(), b = other.view();
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (U(a[i]) != U(b[i])) return U(a[i]) < U(b[i]) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

template class CBasicString<char>;
template class CBasicString<char16_t>;

int CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int length = FormatV(format, args);
    va_end(args);
    return length;
}

int CString::FormatV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0) {
        Empty();
        return 0;
    }
    CString result;
    char* chars = result.GetBuffer(needed);
    std::vsnprintf(chars, size_t(needed) + 1, format, args);
    result.SetLength(needed);
    *this = std::move(result);
    return needed;
}

CWString Utf8ToWide(const CString& text) {
    return CWString(std::u16string_view(Platform::Utf8ToUtf16(text.view())));
}

CString WideToUtf8(const CWString& text) { return CString(std::string_view(Platform::Utf16ToUtf8(text.view()))); }

CString NormalizePath(const CString& name) {
    std::string copy = name.str();
    std::replace(copy.begin(), copy.end(), '\\', '/');
    return CString(std::string_view(copy));
}
