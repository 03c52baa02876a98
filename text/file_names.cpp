// File-name checks and repairs, filter extensions, directory test, path splitting.
#include <cstdint>
#include <cwctype>
#include <filesystem>
#include <string>
#include <system_error>

#include "vantrel/text.h"

namespace {

constexpr wchar_t kReservedCharacters[] = L"\"*/:<>?\\|";
constexpr int kMaxIccNameWithExtension = 31;
constexpr int kMaxIccNameWithoutExtension = 27;  // room left for ".icm"

bool IsReserved(wchar_t ch) {
    for (const wchar_t* r = kReservedCharacters; *r; ++r)
        if (*r == ch) return true;
    return false;
}

bool HasReservedCharacter(const std::wstring& name) {
    for (wchar_t ch : name)
        if (IsReserved(ch)) return true;
    return false;
}

std::wstring Trimmed(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::iswspace(static_cast<wint_t>(text[first]))) ++first;
    while (last > first && std::iswspace(static_cast<wint_t>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

wchar_t AsciiLower(wchar_t ch) {
    return (ch >= L'A' && ch <= L'Z') ? ch + (L'a' - L'A') : ch;
}

// ".icc" or ".icm" as the last four characters, ASCII letters compared without case.
bool HasIccExtension(const std::wstring& name) {
    if (name.size() < 4) return false;
    const wchar_t* tail = name.c_str() + name.size() - 4;
    if (tail[0] != L'.' || AsciiLower(tail[1]) != L'i' || AsciiLower(tail[2]) != L'c') return false;
    wchar_t last = AsciiLower(tail[3]);
    return last == L'c' || last == L'm';
}

std::wstring FromPointer(const wchar_t* text) {
    return text ? std::wstring(text) : std::wstring();
}

}  // namespace

int IsValidFilename(const wchar_t* strName) {
    return HasReservedCharacter(FromPointer(strName)) ? 0 : 1;
}

int IsValidICCFilename(const wchar_t* strName) {
    std::wstring name = FromPointer(strName);
    if (HasReservedCharacter(name)) return 0;
    std::wstring trimmed = Trimmed(name);
    int limit = HasIccExtension(trimmed) ? kMaxIccNameWithExtension : kMaxIccNameWithoutExtension;
    return trimmed.size() <= static_cast<size_t>(limit) ? 1 : 0;
}

int MakeValidICCFilename(CString& strName, int bNoAppend) {
    if (HasReservedCharacter(strName.str())) return 0;
    std::wstring trimmed = Trimmed(strName.str());
    if (HasIccExtension(trimmed)) {
        if (trimmed.size() > static_cast<size_t>(kMaxIccNameWithExtension)) return 0;
        strName = CString(trimmed);
        return 1;
    }
    if (bNoAppend != 0 || trimmed.size() > static_cast<size_t>(kMaxIccNameWithoutExtension))
        return 0;
    strName = CString(trimmed + L".icm");
    return 1;
}

int MakeValidFilename(CString& strName) {
    if (HasReservedCharacter(strName.str())) return 0;
    std::wstring trimmed = Trimmed(strName.str());
    if (trimmed.empty()) return 0;
    strName = CString(trimmed);
    return 1;
}

CString GetFileExt(CString strFilter, int nIndex, wchar_t chDelimiter) {
    if (nIndex < 0) return CString();
    const std::wstring& filter = strFilter.str();
    // The pattern of filter n follows delimiter number 2n + 1; 64 bits keep that count exact
    // for every int index.
    const std::int64_t wanted = 2 * static_cast<std::int64_t>(nIndex) + 1;
    std::int64_t seen = 0;
    size_t at = 0;
    for (; at < filter.size(); ++at)
        if (filter[at] == chDelimiter && ++seen == wanted) break;
    if (at >= filter.size()) return CString();
    const size_t start = at + 1;
    const size_t end = filter.find(chDelimiter, start);
    if (end == std::wstring::npos) return CString();

    std::wstring pattern = filter.substr(start, end - start), withoutStars, extension;
    for (wchar_t ch : pattern)
        if (ch != L'*') withoutStars += ch;
    for (wchar_t ch : withoutStars)
        if (ch != L'.') extension += ch;
    return CString(extension);
}

bool DoesDirectoryExist(const char* pszDir, bool bCreate) {
    if (!pszDir) return false;
    try {
        const std::filesystem::path path = std::filesystem::u8path(pszDir);
        std::error_code error;
        if (std::filesystem::exists(path, error)) return true;
        return bCreate && std::filesystem::create_directory(path, error);
    } catch (const std::exception&) {
        return false;  // not UTF-8, which Windows cannot name a file with
    }
}

AString GetDirectory(const AString& path) {
    int last = path.ReverseFind(L'\\');
    if (last < 0) return AString();
    return AString::Replace(path.Left(last + 1), AString(L"\\\\"), AString(L"\\"));
}

CString GetDirectory(const CString& path) {
    return GetDirectory(AString(path));
}

AString GetFilename(const AString& path) {
    int last = path.ReverseFind(L'\\');
    if (last < 0) return path;
    return path.Mid(last + 1);
}

CString GetFilename(const CString& path) {
    return GetFilename(AString(path));
}
