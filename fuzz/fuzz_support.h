// What the fuzz targets share: a check that aborts (so the fuzzer keeps the input), wide text
// decoded from bytes, and a scratch file.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#define FUZZ_CHECK(condition)                                                                  \
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

inline std::wstring WideText(const std::string& bytes) {
    return WideText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// A file in a directory of its own under $TMPDIR (or /tmp), removed at exit.
class ScratchFile {
  public:
    ScratchFile() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/vantrel-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        dir_ = pattern;
        path_ = dir_ + "/file";
    }
    ~ScratchFile() {
        ::unlink(path_.c_str());
        ::rmdir(dir_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Path() const { return path_; }

    void Write(const std::uint8_t* data, size_t size) const {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
    }

  private:
    std::string dir_;
    std::string path_;
};

}  // namespace fuzz
