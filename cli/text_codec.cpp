#include "text_codec.h"

#include <cstdint>
#include <cstring>

#include "cli.h"

namespace cli {

namespace {

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

}  // namespace

std::wstring WideFromUtf8(const std::string& text, const std::string& what) {
    const UsageError invalid("argument " + what + ": not valid UTF-8");
    std::wstring wide;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t extra;
        std::uint32_t code;
        if (lead < 0x80) {
            extra = 0, code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, code = lead & 0x1Fu;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, code = lead & 0x0Fu;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, code = lead & 0x07u;
        } else {
            throw invalid;
        }
        if (text.size() - i <= extra) throw invalid;
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) throw invalid;
            code = (code << 6) | (next & 0x3Fu);
        }
        wide += static_cast<wchar_t>(code);
        i += extra + 1;
    }
    return wide;
}

std::string Utf8FromWide(const std::wstring& text) {
    std::string narrow;
    for (wchar_t ch : text)
        AppendUtf8(static_cast<char32_t>(static_cast<std::uint32_t>(ch)), &narrow);
    return narrow;
}

std::string Utf8FromField(const char16_t* field, size_t units) {
    std::string out;
    for (size_t i = 0; i < units && field[i]; ++i) {
        char32_t c = field[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && field[i + 1] >= 0xDC00 &&
            field[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (field[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(c, &out);
    }
    return out;
}

void StoreInField(char16_t* field, size_t units, const std::string& text, const std::string& what) {
    std::u16string converted;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text.c_str());
    while (*s) {
        int extra = s[0] < 0x80             ? 0
                    : (s[0] & 0xE0) == 0xC0 ? 1
                    : (s[0] & 0xF0) == 0xE0 ? 2
                    : (s[0] & 0xF8) == 0xF0 ? 3
                                            : -1;
        const char32_t minimum[4] = {0, 0x80, 0x800, 0x10000};
        bool ok = extra >= 0;
        char32_t c = !ok ? 0 : extra == 0 ? s[0] : s[0] & (0x3F >> extra);
        for (int i = 1; ok && i <= extra; ++i) {
            ok = (s[i] & 0xC0) == 0x80;  // also stops at the terminator
            c = (c << 6) | (s[i] & 0x3F);
        }
        if (!ok || c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            throw UsageError("argument " + what + ": not valid UTF-8");
        if (c >= 0x10000) {
            converted += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            converted += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            converted += static_cast<char16_t>(c);
        }
        s += 1 + extra;
    }
    if (converted.size() > units - 1)
        throw UsageError("argument " + what + ": longer than " + std::to_string(units - 1) +
                         " UTF-16 units");
    std::memset(field, 0, units * sizeof(char16_t));
    std::memcpy(field, converted.data(), converted.size() * sizeof(char16_t));
}

}  // namespace cli
