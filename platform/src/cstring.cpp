#include "vantrel_platform/cstring.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

#include "vantrel_platform/afx.h"

CString CString::Left(int count) const {
    if (count <= 0) return CString();
    return CString(m_str.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const {
    if (first < 0) first = 0;
    if (static_cast<size_t>(first) >= m_str.size()) return CString();
    return CString(m_str.substr(static_cast<size_t>(first)));
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (count <= 0 || static_cast<size_t>(first) >= m_str.size()) return CString();
    return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Find(wchar_t ch, int start) const {
    if (start < 0) start = 0;
    size_t at = m_str.find(ch, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const {
    size_t at = m_str.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

void CString::Format(const wchar_t* format, ...) {
    // vswprintf reports truncation only as a negative result, so grow until the text fits.
    std::vector<wchar_t> buffer(128);
    for (;;) {
        va_list args;
        va_start(args, format);
        int written = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (written >= 0) {
            m_str.assign(buffer.data(), static_cast<size_t>(written));
            return;
        }
        if (buffer.size() >= (1u << 20)) {  // an encoding error, not a short buffer
            m_str.clear();
            return;
        }
        buffer.resize(buffer.size() * 4);
    }
}

BOOL CString::LoadString(UINT id) {
    const wchar_t* text = AfxFindStringResource(id);
    if (!text) {
        m_str.clear();
        return FALSE;
    }
    m_str = text;
    return TRUE;
}
