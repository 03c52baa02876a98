// What the tests share: floating-point values compared and shown bit for bit, a scratch folder
// removed with everything in it, whole files written and read, little-endian integers as bytes.
// Free of GoogleTest, so that the fuzz targets can use it too.
#pragma once

#include <locale.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

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

// A folder of its own in the system's temporary folder ($TMPDIR, else /tmp; on Windows
// %TMP%), removed with its contents at the end of its scope, so that suites of two builds
// running at once never meet.
class TempDir {
  public:
    TempDir() {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::temp_directory_path(error);
        std::random_device seed;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::filesystem::path folder =
                base / ("vantrel-test-" + std::to_string(seed() % 1000000000u));
            if (std::filesystem::create_directory(folder, error)) path_ = folder.generic_u8string();
        }
        if (path_.empty()) std::abort();
    }
    ~TempDir() {
        std::error_code error;
        std::filesystem::remove_all(std::filesystem::u8path(path_), error);
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

// The file at the UTF-8 `path` opened in binary `mode` ("rb", "wb").
inline std::FILE* OpenFile(const std::string& path, const char* mode) {
#if defined(_WIN32)
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(std::filesystem::u8path(path).c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

// The bytes of the file at `path`; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::string text;
    if (std::FILE* f = OpenFile(path, "rb")) {
        std::array<char, 4096> buffer;
        size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0)
            text.append(buffer.data(), n);
        std::fclose(f);
    }
    return text;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = OpenFile(path, "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
        std::abort();
}

inline bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::u8path(path), error);
}

// Sets the environment variable `name` to `value`, or removes it when `value` is null (on
// Windows an empty value removes it too, which is how the variable readers treat it anyway).
inline void SetEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
    _putenv_s(name, value ? value : "");
#else
    value ? setenv(name, value, 1) : unsetenv(name);
#endif
}

// Whether the C library can load the locale `name` (Windows knows every locale by name).
inline bool LocaleInstalled(const char* name) {
#if defined(_WIN32)
    (void)name;
    return true;
#else
    locale_t probe = newlocale(LC_CTYPE_MASK | LC_TIME_MASK, name, locale_t(0));
    if (probe) freelocale(probe);
    return probe != locale_t(0);
#endif
}

// The local time of `when`.
inline std::tm LocalTime(std::time_t when) {
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    return local;
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
