// What the fuzz targets share: a check that aborts (so the fuzzer keeps the input) and wide text
// decoded from bytes; scratch folders and files come from the tests' support header.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/test_support.h"

#define VANTREL_FUZZ_CHECK(condition)                                                          \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace fuzz {

// Wide text from bytes, so that seeds can be written as plain text: a byte below 0x80 is that
// character; 0x80 to 0xFE with the next byte give a unit from 0x80 to 0x7FFF; 0xFF takes the
// next four bytes as a raw wchar_t (any 32-bit value: beyond Unicode, negative, a surrogate).
// Zeros are dropped, since the text is handed on null-terminated.
inline std::wstring WideText(const std::uint8_t* data, size_t size) {
    std::wstring text;
    for (size_t i = 0; i < size;) {
        std::uint32_t unit = data[i++];
        if (unit == 0xFF && i + 4 <= size) {
            std::memcpy(&unit, data + i, 4);
            i += 4;
        } else if (unit >= 0x80 && i < size) {
            unit = ((unit - 0x80) << 8) | data[i++];
            if (unit < 0x80) unit += 0x80;
        }
        if (unit != 0) text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

}  // namespace fuzz
