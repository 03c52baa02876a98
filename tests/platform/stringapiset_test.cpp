// The platform's UTF-8 conversions: which byte sequences are UTF-8, what strict and lenient
// conversions make of the others, and the Win32 buffer protocol.
#include <gtest/gtest.h>

#include <string>

#include "vantrel_platform/stringapiset.h"

namespace {

// Wide text of `text` as MultiByteToWideChar gives it, or "FAILED".
std::u32string Widened(const std::string& text, DWORD flags) {
    const int size = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_UTF8, flags, text.data(), size, nullptr, 0);
    if (units == 0) return U"FAILED";
    std::wstring wide(static_cast<size_t>(units), L'\0');
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, flags, text.data(), size, &wide[0], units), units);
    std::u32string codePoints;  // wide text is UTF-16 where wchar_t has 16 bits (Windows)
    for (size_t i = 0; i < wide.size(); ++i) {
        const char32_t unit = static_cast<char32_t>(wide[i]);
        const bool pair = sizeof(wchar_t) == 2 && unit >= 0xD800 && unit < 0xDC00;
        codePoints += pair ? 0x10000 + ((unit - 0xD800) << 10) + (wide[++i] - 0xDC00) : unit;
    }
    return codePoints;
}

TEST(Utf8, OnlyShortestFormsOfScalarValuesDecode) {
    struct Case {
        const char* what;
        std::string bytes;
        std::u32string lenient;  // each invalid byte U+FFFD; strict conversion fails then
    };
    const Case cases[] = {
        {"one to four bytes", "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", U"a\u00E9\u4E2D\U0001F600"},
        {"largest scalar value", "\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
        {"overlong slash", "a\xC0\xAF", U"a\uFFFD\uFFFD"},
        {"overlong three bytes", "\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},
        {"overlong two bytes",
         "a\xC1\x81"
         "b",
         U"a\uFFFD\uFFFDb"},
        {"encoded surrogate", "\xED\xBF\xBF", U"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"cut short", "\xE4\xB8", U"\uFFFD\uFFFD"},
        {"stray continuation", "\x80z", U"\uFFFDz"},
        {"lead without continuation", "\xC3z", U"\uFFFDz"},
        {"lead byte without use", "\xFF", U"\uFFFD"},
    };
    for (const Case& c : cases) {
        const bool valid = c.lenient.find(U'\uFFFD') == std::u32string::npos;
        EXPECT_EQ(Widened(c.bytes, 0), c.lenient) << c.what;
        EXPECT_EQ(Widened(c.bytes, MB_ERR_INVALID_CHARS), valid ? c.lenient : U"FAILED") << c.what;
        std::u16string utf16;
        EXPECT_EQ(vplatform::Utf8ToUtf16(c.bytes, MB_ERR_INVALID_CHARS, &utf16), valid) << c.what;
        std::string back;
        if (valid) {
            EXPECT_TRUE(vplatform::Utf16ToUtf8(utf16, WC_ERR_INVALID_CHARS, &back)) << c.what;
            EXPECT_EQ(back, c.bytes) << c.what;
        }
    }
}

TEST(Utf8, UnpairedSurrogatesAndWin32Buffers) {
    std::string text;
    EXPECT_FALSE(vplatform::Utf16ToUtf8(u"a\xD800", WC_ERR_INVALID_CHARS, &text));
    EXPECT_TRUE(vplatform::Utf16ToUtf8(u"a\xDC00", 0, &text));
    EXPECT_EQ(text, "a\xEF\xBF\xBD");

    // -1 counts the terminator; a short buffer or an unknown code page gives 0.
    wchar_t wide[4];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, wide, 4), 3);
    EXPECT_EQ(std::wstring(wide), L"ab");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcd", -1, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xE4\xB8\xAD", 3, wide, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "ab", -1, wide, 4), 0);
    char narrow[8];
    const wchar_t surrogate[] = {L'a', static_cast<wchar_t>(0xDFFF), 0};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, surrogate, -1, narrow, 8, nullptr,
                                  nullptr),
              0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, surrogate, -1, narrow, 8, nullptr, nullptr), 5);
    EXPECT_STREQ(narrow, "a\xEF\xBF\xBD");
}

}  // namespace
