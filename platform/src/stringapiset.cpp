// UTF-8 to and from wide text and UTF-16: one decoder and one encoder for each form, and the
// Win32 entry points over them.
#include "vantrel_platform/stringapiset.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalarValue(char32_t c) {
    return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

void AppendUtf8(char32_t c, std::string* out) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The code points of UTF-8 text, one per well-formed sequence; an invalid byte is U+FFFD, or
// makes the whole conversion fail when `strict`.
bool DecodeAll(const char* text, std::size_t size, bool strict, std::u32string* out) {
    out->clear();
    for (std::size_t i = 0; i < size;) {
        char32_t c;
        const std::size_t length = vplatform::DecodeUtf8(text + i, size - i, &c);
        if (length == 0) {
            if (strict) return false;
            c = kReplacement;
        }
        out->push_back(c);
        i += length ? length : 1;
    }
    return true;
}

// The length of a terminated text including its terminator, or `count` as given.
template <typename Char>
std::size_t LengthOf(const Char* text, int count) {
    if (count >= 0) return static_cast<std::size_t>(count);
    std::size_t n = 0;
    while (text[n] != Char{}) ++n;
    return n + 1;
}

// Hands converted text to a Win32-style caller: the units needed when `capacity` is 0, the
// units written, or 0 when they do not fit.
template <typename Char, typename Text>
int Deliver(const Text& text, Char* out, int capacity) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT32_MAX)) return 0;
    const int needed = static_cast<int>(text.size());
    if (capacity == 0) return needed;
    if (!out || capacity < needed) return 0;
    std::memcpy(out, text.data(), text.size() * sizeof(Char));
    return needed;
}

}  // namespace

namespace vplatform {

std::size_t DecodeUtf8(const char* text, std::size_t size, char32_t* codePoint) {
    if (size == 0) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length;
    char32_t c;
    if (lead < 0x80) {
        length = 1, c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07u;
    } else {
        return 0;  // a continuation byte, or a lead byte no scalar value needs
    }
    if (length > size) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xC0) != 0x80) return 0;
        c = (c << 6) | (next & 0x3Fu);
    }
    static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kShortest[length] || !IsScalarValue(c)) return 0;
    *codePoint = c;
    return length;
}

bool Utf8ToUtf16(const std::string& text, DWORD dwFlags, std::u16string* out) {
    out->clear();
    std::u32string codePoints;
    if (!DecodeAll(text.data(), text.size(), (dwFlags & MB_ERR_INVALID_CHARS) != 0, &codePoints))
        return false;
    for (char32_t c : codePoints) {
        if (c >= 0x10000) {
            out->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out->push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out->push_back(static_cast<char16_t>(c));
        }
    }
    return true;
}

bool Utf16ToUtf8(const std::u16string& text, DWORD dwFlags, std::string* out) {
    out->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            if (dwFlags & WC_ERR_INVALID_CHARS) {
                out->clear();
                return false;
            }
            c = kReplacement;
        }
        AppendUtf8(c, out);
    }
    return true;
}

}  // namespace vplatform

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, const char* lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) {
    if (CodePage != CP_UTF8 || (dwFlags & ~MB_ERR_INVALID_CHARS) || !lpMultiByteStr ||
        cchWideChar < 0 || cbMultiByte < -1)
        return 0;
    const std::size_t bytes = LengthOf(lpMultiByteStr, cbMultiByte);
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        std::u16string units;
        if (!vplatform::Utf8ToUtf16(std::string(lpMultiByteStr, bytes), dwFlags, &units)) return 0;
        return Deliver(units, reinterpret_cast<char16_t*>(lpWideCharStr), cchWideChar);
    } else {
        std::u32string codePoints;
        if (!DecodeAll(lpMultiByteStr, bytes, (dwFlags & MB_ERR_INVALID_CHARS) != 0, &codePoints))
            return 0;
        return Deliver(codePoints, reinterpret_cast<char32_t*>(lpWideCharStr), cchWideChar);
    }
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        char* lpMultiByteStr, int cbMultiByte, const char* lpDefaultChar,
                        BOOL* lpUsedDefaultChar) {
    if (CodePage != CP_UTF8 || (dwFlags & ~WC_ERR_INVALID_CHARS) || !lpWideCharStr ||
        cbMultiByte < 0 || cchWideChar < -1 || lpDefaultChar || lpUsedDefaultChar)
        return 0;
    const std::size_t units = LengthOf(lpWideCharStr, cchWideChar);
    std::string text;
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        const std::u16string wide(reinterpret_cast<const char16_t*>(lpWideCharStr), units);
        if (!vplatform::Utf16ToUtf8(wide, dwFlags, &text)) return 0;
        return Deliver(text, lpMultiByteStr, cbMultiByte);
    }
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = static_cast<char32_t>(lpWideCharStr[i]);
        if (!IsScalarValue(c)) {
            if (dwFlags & WC_ERR_INVALID_CHARS) return 0;
            c = kReplacement;
        }
        AppendUtf8(c, &text);
    }
    return Deliver(text, lpMultiByteStr, cbMultiByte);
}
