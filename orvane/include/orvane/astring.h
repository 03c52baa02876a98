// AString: the file-services library's string class (UTF-16 code units held as wchar_t).
#pragma once

#include <string>

#include "orvane/export.h"
#include "vantrel_platform/cstring.h"

class ORVANE_API AString {
  public:
    AString() = default;
    AString(const wchar_t* text);  // NOLINT: implicit, as the library's callers expect
    AString(const char* text);     // NOLINT: 8-bit text, each byte taken as one code unit
    AString(const CString& text) : m_str(text.str()) {}  // NOLINT
    AString(const AString&) = default;
    AString(AString&&) noexcept = default;
    ~AString() = default;

    AString& operator=(const AString&) = default;
    AString& operator=(AString&&) noexcept = default;
    AString& operator=(const wchar_t* text);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    // Index of the last occurrence of `ch`, or -1.
    int ReverseFind(wchar_t ch) const;
    // The first `count` characters (all of them when count is larger, none when it is <= 0).
    AString Left(int count) const;
    // Every character from index `first` on.
    AString Mid(int first) const;
    // A copy of `source` with every occurrence of `find` replaced by `with`, scanning left to
    // right over non-overlapping occurrences.
    static AString Replace(const AString& source, const AString& find, const AString& with);

    const wchar_t* GetString() const { return m_str.c_str(); }
    operator CString() const { return CString(m_str); }  // NOLINT: as the library expects

    friend bool operator==(const AString& a, const AString& b) { return a.m_str == b.m_str; }
    friend bool operator!=(const AString& a, const AString& b) { return a.m_str != b.m_str; }

  private:
    explicit AString(std::wstring text) : m_str(std::move(text)) {}
    std::wstring m_str;
};
