// CString: the framework's wide string class, held as a std::wstring.
#pragma once

#include <string>

#include "vantrel_platform/wintypes.h"

class VPLATFORM_API CString {
  public:
    CString() = default;
    CString(const wchar_t* text)
        : m_str(text ? text : L"") {}  // NOLINT: implicit as in the framework
    CString(const wchar_t* text, int length) : m_str(text, static_cast<size_t>(length)) {}
    CString(wchar_t ch, int repeat = 1) : m_str(static_cast<size_t>(repeat), ch) {}
    CString(const std::wstring& text) : m_str(text) {}  // NOLINT
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    ~CString() = default;

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const wchar_t* text) {
        m_str = text ? text : L"";
        return *this;
    }
    CString& operator+=(const CString& other) {
        m_str += other.m_str;
        return *this;
    }
    CString& operator+=(const wchar_t* text) {
        if (text) m_str += text;
        return *this;
    }
    CString& operator+=(wchar_t ch) {
        m_str += ch;
        return *this;
    }

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    wchar_t GetAt(int index) const { return m_str.at(static_cast<size_t>(index)); }
    wchar_t operator[](int index) const { return GetAt(index); }
    const wchar_t* GetString() const { return m_str.c_str(); }
    operator const wchar_t*() const { return m_str.c_str(); }  // NOLINT: as in the framework
    const std::wstring& str() const { return m_str; }

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    int Find(wchar_t ch, int start = 0) const;
    int ReverseFind(wchar_t ch) const;

    // The C runtime's wide formatted print (vswprintf) into this string.
    void Format(const wchar_t* format, ...);
    // Replaces the text with string resource `id`, searched in the module state current on the
    // calling thread and then in the registered resource modules. FALSE, and an empty string,
    // when no module has the id.
    BOOL LoadString(UINT id);
    BOOL LoadStringW(UINT id) { return LoadString(id); }

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_str != b.m_str; }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_str == (b ? b : L""); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
    friend CString operator+(const CString& a, const CString& b) {
        return CString(a.m_str + b.m_str);
    }

  private:
    std::wstring m_str;
};
