#include "text_codec.h"

#include <cstring>

#include "cli.h"
#include "vantrel_platform/stringapiset.h"

namespace cli {

std::wstring WideFromUtf8(const std::string& text, const std::string& what) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int units =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (units == 0) throw UsageError(what + ": not valid UTF-8");
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, &wide[0], units);
    return wide;
}

std::string Utf8FromWide(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &narrow[0], bytes, nullptr, nullptr);
    return narrow;
}

std::string Utf8FromField(const char16_t* field, size_t units) {
    size_t length = 0;
    while (length < units && field[length]) ++length;
    std::string text;
    vplatform::Utf16ToUtf8(std::u16string(field, length), 0, &text);
    return text;
}

void StoreInField(char16_t* field, size_t units, const std::string& text, const std::string& what) {
    std::u16string converted;
    if (text.find('\0') != std::string::npos ||
        !vplatform::Utf8ToUtf16(text, MB_ERR_INVALID_CHARS, &converted))
        throw UsageError(what + ": not valid UTF-8");
    if (converted.size() > units - 1)
        throw UsageError(what + ": longer than " + std::to_string(units - 1) + " UTF-16 units");
    std::memset(field, 0, units * sizeof(char16_t));
    std::memcpy(field, converted.data(), converted.size() * sizeof(char16_t));
}

}  // namespace cli
