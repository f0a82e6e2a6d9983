#pragma once
// The engine's copy-on-write strings: CString (UTF-8 bytes) and CWString
// (UTF-16 code units). Copies share one buffer until one of them writes; all
// empty strings share one constant buffer that is never freed.

#include <atomic>
#include <compare>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Engine::Detail {

// Header in front of the characters of every string buffer.
struct CStringHeader {
    std::atomic<int32_t> refs;
    int32_t length;
    int32_t capacity;
};

template <class Ch>
struct CEmptyStringRep {
    CStringHeader header;
    Ch terminator;
};

} // namespace Engine::Detail

template <class Ch>
class CBasicString {
public:
    using CharType = Ch;
    using View = std::basic_string_view<Ch>;

    constexpr CBasicString() noexcept : m_chars(&s_empty.terminator) {}
    CBasicString(const Ch* text);
    // Takes the first count characters, cut at the first 0; a null text or a
    // count of 0 gives the empty string, a negative count measures to the 0.
    CBasicString(const Ch* text, int count);
    CBasicString(View text);
    CBasicString(const std::basic_string<Ch>& text) : CBasicString(View(text)) {}
    CBasicString(const CBasicString& other) noexcept;
    CBasicString(CBasicString&& other) noexcept;
    ~CBasicString();

    CBasicString& operator=(const CBasicString& other) noexcept;
    CBasicString& operator=(CBasicString&& other) noexcept;
    CBasicString& operator=(const Ch* text) { return *this = CBasicString(text); }

    bool IsEmpty() const { return GetLength() == 0; }
    int GetLength() const { return Header()->length; }
    const Ch* c_str() const { return m_chars; }
    operator const Ch*() const { return m_chars; }
    View view() const { return View(m_chars, size_t(GetLength())); }
    std::basic_string<Ch> str() const { return std::basic_string<Ch>(view()); }
    Ch operator[](int i) const { return m_chars[i]; }

    // True when the two strings share one buffer (copy-on-write observable).
    bool SharesBufferWith(const CBasicString& other) const { return m_chars == other.m_chars; }
    bool IsSharedEmpty() const { return m_chars == &s_empty.terminator; }

    // Makes the buffer unshared with room for at least minCapacity characters
    // and returns it for writing.
    Ch* GetBuffer(int minCapacity = 0);
    // Sets the length after writing through GetBuffer (clamped to capacity).
    void SetLength(int length);
    void Empty() { *this = CBasicString(); }

    // Inserts other at pos (clamped to 0..length); returns the new length.
    int Insert(int pos, const CBasicString& other);
    void AppendChar(Ch ch);
    CBasicString& Append(View text);
    CBasicString& operator+=(View text) { return Append(text); }
    CBasicString& operator+=(const CBasicString& text) { return Append(text.view()); }
    CBasicString& operator+=(const Ch* text) { return Append(View(text)); }

    // Unsigned, byte-wise (code-unit-wise) ordering.
    int Compare(const CBasicString& other) const;
    friend bool operator==(const CBasicString& a, const CBasicString& b) { return a.view() == b.view(); }
    friend bool operator==(const CBasicString& a, const Ch* b) { return a.view() == View(b ? b : &s_empty.terminator); }
    friend bool operator<(const CBasicString& a, const CBasicString& b) { return a.Compare(b) < 0; }
    friend CBasicString operator+(const CBasicString& a, View b) { CBasicString r(a); r.Append(b); return r; }

private:
    Engine::Detail::CStringHeader* Header() const {
        return reinterpret_cast<Engine::Detail::CStringHeader*>(
            const_cast<char*>(reinterpret_cast<const char*>(m_chars)) - sizeof(Engine::Detail::CStringHeader));
    }
    static Ch* Allocate(int capacity);
    void Assign(View text);
    void ReleaseBuffer() noexcept;

    static constinit Engine::Detail::CEmptyStringRep<Ch> s_empty;
    Ch* m_chars;
};

class CString : public CBasicString<char> {
public:
    using CBasicString<char>::CBasicString;
    CString(const CBasicString<char>& s) : CBasicString<char>(s) {}
    CString(CBasicString<char>&& s) noexcept : CBasicString<char>(std::move(s)) {}
    // Formats printf-style into this string; returns the new length.
    int Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    int FormatV(const char* format, va_list args);
};

class CWString : public CBasicString<char16_t> {
public:
    using CBasicString<char16_t>::CBasicString;
    CWString(const CBasicString<char16_t>& s) : CBasicString<char16_t>(s) {}
    CWString(CBasicString<char16_t>&& s) noexcept : CBasicString<char16_t>(std::move(s)) {}
};

extern template class CBasicString<char>;
extern template class CBasicString<char16_t>;

// UTF-8 <-> UTF-16 by the rules of platform/Unicode.h. An empty result is
// the shared empty string.
CWString Utf8ToWide(const CString& text);
CString WideToUtf8(const CWString& text);

// Returns a copy with every backslash turned into a forward slash.
CString NormalizePath(const CString& name);
