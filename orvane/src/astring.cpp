#include "orvane/astring.h"

AString::AString(const wchar_t* text) : m_str(text ? text : L"") {}

AString::AString(const char* text) {
    if (!text) return;
    for (const char* p = text; *p; ++p) m_str.push_back(static_cast<unsigned char>(*p));
}

AString& AString::operator=(const wchar_t* text) {
    m_str = text ? text : L"";
    return *this;
}

int AString::ReverseFind(wchar_t ch) const {
    size_t at = m_str.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

AString AString::Left(int count) const {
    if (count <= 0) return AString();
    return AString(m_str.substr(0, static_cast<size_t>(count)));
}

AString AString::Mid(int first) const {
    if (first < 0) first = 0;
    if (static_cast<size_t>(first) >= m_str.size()) return AString();
    return AString(m_str.substr(static_cast<size_t>(first)));
}

AString AString::Replace(const AString& source, const AString& find, const AString& with) {
    if (find.m_str.empty()) return source;
    std::wstring result;
    size_t from = 0;
    for (size_t at; (at = source.m_str.find(find.m_str, from)) != std::wstring::npos;
         from = at + find.m_str.size()) {
        result.append(source.m_str, from, at - from);
        result += with.m_str;
    }
    result.append(source.m_str, from, std::wstring::npos);
    return AString(std::move(result));
}
