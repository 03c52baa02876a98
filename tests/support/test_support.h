// What the tests share: floating-point values compared and shown bit for bit, a scratch folder
// removed with everything in it, whole files written and read, little-endian integers as bytes.
// Free of GoogleTest, so that the fuzz targets can use it too.
#pragma once

#include <ftw.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "orvane/file_services.h"

namespace testing_support {

inline std::uint32_t Bits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline std::uint64_t Bits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline float FloatFromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Equal to the bit: 0 and -0 differ, and a NaN equals only the same NaN.
template <typename T>
bool SameBits(T a, T b) {
    return Bits(a) == Bits(b);
}

template <typename T>
bool SameBits(const T* a, const T* b, size_t count) {
    return count == 0 || std::memcmp(a, b, count * sizeof(T)) == 0;
}

// Equal to the bit, or both NaN: where two NaNs meet, which one an operation passes on is the
// compiler's choice.
template <typename T>
bool SameBitsOrNaN(T a, T b) {
    return SameBits(a, b) || (std::isnan(a) && std::isnan(b));
}

// The value as a hexadecimal float ("-0x1.8p+1"): exact, and the way expectations are written.
inline std::string Hex(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

// A folder of its own under $TMPDIR (else /tmp), removed with its contents at the end of its
// scope, so that suites of two builds running at once never meet.
class TempDir {
  public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/vantrel-test-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~TempDir() {
        nftw(
            path_.c_str(),
            [](const char* path, const struct stat*, int, struct FTW*) {
                return std::remove(path);
            },
            16, FTW_DEPTH | FTW_PHYS);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    FM_FILESPEC Spec(const std::string& name) const {
        FM_FILESPEC spec;
        if (!FM_SetPath(&spec, File(name).c_str())) std::abort();
        return spec;
    }

  private:
    std::string path_;
};

// The bytes of the file at `path`; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::array<char, 4096> buffer;
        size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0)
            text.append(buffer.data(), n);
        std::fclose(f);
    }
    return text;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
        std::abort();
}

inline bool FileExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// A little-endian 32-bit integer as four bytes, and back from `at`.
inline std::string Le32(std::int32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i));
    return bytes;
}

inline std::int32_t GetLe32(const std::string& bytes, size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return static_cast<std::int32_t>(value);
}

}  // namespace testing_support
