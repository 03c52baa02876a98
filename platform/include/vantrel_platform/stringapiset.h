// Conversions between UTF-8 and wide text: MultiByteToWideChar and WideCharToMultiByte of the
// Win32 string services for CP_UTF8, and the same rules for the UTF-16 fields of fixed-layout
// records. Wide text is UTF-32 where wchar_t has 32 bits (Linux) and UTF-16, with surrogate
// pairs, where it has 16 (Windows).
//
// Well-formed UTF-8 encodes each scalar value (U+0000 to U+10FFFF, surrogates excluded) in its
// shortest form. A byte that does not start such a sequence (a stray continuation byte, an
// overlong form, an encoded surrogate, a value above U+10FFFF, a sequence cut short) is
// invalid: with MB_ERR_INVALID_CHARS the conversion fails, without it each such byte becomes
// U+FFFD. In the other direction a wchar_t that is not a scalar value, or an unpaired UTF-16
// surrogate, is invalid: with WC_ERR_INVALID_CHARS the conversion fails, without it it becomes
// U+FFFD.
#pragma once

#include <cstddef>
#include <string>

#include "vantrel_platform/wintypes.h"

constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x00000080;

// Converts `cbMultiByte` bytes of UTF-8 at `lpMultiByteStr` (-1: up to and including its
// terminator) into `lpWideCharStr` of `cchWideChar` units. Returns the units written; with
// `cchWideChar` 0, the units needed (nothing is written). 0 on failure: a code page other than
// CP_UTF8, flags other than MB_ERR_INVALID_CHARS, invalid UTF-8 under MB_ERR_INVALID_CHARS, a
// buffer too short (part of the text may then have been written), empty input.
VPLATFORM_API int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, const char* lpMultiByteStr,
                                      int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar);
// Converts `cchWideChar` wide units at `lpWideCharStr` (-1: up to and including its terminator)
// into UTF-8 at `lpMultiByteStr` of `cbMultiByte` bytes, as MultiByteToWideChar counts and
// fails. `lpDefaultChar` and `lpUsedDefaultChar` must be null, as Win32 requires for CP_UTF8.
VPLATFORM_API int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr,
                                      int cchWideChar, char* lpMultiByteStr, int cbMultiByte,
                                      const char* lpDefaultChar, BOOL* lpUsedDefaultChar);

namespace vplatform {

// The well-formed UTF-8 sequence at the start of `text` (`size` bytes available): its length
// (1 to 4), with its code point in `*codePoint`; 0 when none starts there. Every conversion
// here decodes with it; callers that only check or repair UTF-8 use it too.
VPLATFORM_API std::size_t DecodeUtf8(const char* text, std::size_t size, char32_t* codePoint);

// UTF-8 to UTF-16 and back, for the UTF-16 text fields of records, under the flags above
// (MB_ERR_INVALID_CHARS, WC_ERR_INVALID_CHARS or 0). `*out` is replaced; false, and `*out`
// empty, when the text is invalid under a strict flag.
VPLATFORM_API bool Utf8ToUtf16(const std::string& text, DWORD dwFlags, std::u16string* out);
VPLATFORM_API bool Utf16ToUtf8(const std::u16string& text, DWORD dwFlags, std::string* out);

}  // namespace vplatform
