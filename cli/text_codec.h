// Text between the command's UTF-8 and the library's wide text and UTF-16 record fields, over
// the platform's conversions.
#pragma once

#include <cstddef>
#include <string>

namespace cli {

// UTF-8 arguments as wide text, one wchar_t per code point; a UsageError "WHAT: not valid
// UTF-8" when the bytes are not (overlong forms, surrogates and cut sequences included).
std::wstring WideFromUtf8(const std::string& text, const std::string& what);
// Wide text as UTF-8.
std::string Utf8FromWide(const std::wstring& text);

// A UTF-16 text field of `units` units as UTF-8, up to its terminator (or its whole length
// when it has none); an unpaired surrogate shows as U+FFFD.
std::string Utf8FromField(const char16_t* field, size_t units);
// Stores UTF-8 `text` in a UTF-16 field of `units` units, terminated and zero-filled; a
// UsageError "WHAT: ..." when it is not valid UTF-8 or does not fit.
void StoreInField(char16_t* field, size_t units, const std::string& text, const std::string& what);

template <size_t N>
std::string Utf8FromField(const char16_t (&field)[N]) {
    return Utf8FromField(field, N);
}
template <size_t N>
void StoreInField(char16_t (&field)[N], const std::string& text, const std::string& what) {
    StoreInField(field, N, text, what);
}

}  // namespace cli
