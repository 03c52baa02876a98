// A scratch directory for file tests, removed with everything in it when the test ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "orvane/file_services.h"

namespace testing_support {

class TempDir {
  public:
    TempDir() {
        char name[] = "/tmp/vantrel-test-XXXXXX";
        if (mkdtemp(name)) path_ = name;
    }
    ~TempDir() {
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // A file specification for `name` inside the directory.
    FM_FILESPEC spec(const std::string& name) const {
        FM_FILESPEC s;
        FM_SetPath(&s, file(name).c_str());
        return s;
    }

  private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

inline bool Exists(const std::string& path) {
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
        return true;
    }
    return false;
}

// Little-endian 32-bit integer as four bytes, and back.
inline std::string Le32(std::int32_t value) {
    std::uint32_t v = static_cast<std::uint32_t>(value);
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}
inline std::int32_t GetLe32(const std::string& bytes, size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return static_cast<std::int32_t>(v);
}

}  // namespace testing_support
