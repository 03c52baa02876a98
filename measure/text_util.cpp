#include "text_util.h"

#include <cstdio>

#include "vantrel_platform/stringapiset.h"

namespace vantrel::measure {

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0, length; i < text.size(); i += length) {
        char32_t codePoint;
        length = vplatform::DecodeUtf8(text.data() + i, text.size() - i, &codePoint);
        if (length == 0) return false;
    }
    return true;
}

std::string Printable(std::string_view text) {
    constexpr std::size_t kLongest = 40;
    const bool cut = text.size() > kLongest;
    if (cut) text = text.substr(0, kLongest);
    const bool utf8 = IsUtf8(text);
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || (byte >= 0x80 && !utf8)) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return cut ? out + "..." : out;
}

}  // namespace vantrel::measure
