// Small text helpers of the measurement library: ASCII case-insensitive comparison and text
// made safe to quote in a one-line message.
#pragma once

#include <string>
#include <string_view>

namespace vantrel::measure {

inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or truncated sequences).
bool IsUtf8(std::string_view text);

// `text` for a message: control bytes, and every byte outside ASCII when the text is not
// UTF-8, as \xNN; cut after 40 bytes with "...".
std::string Printable(std::string_view text);

}  // namespace vantrel::measure
