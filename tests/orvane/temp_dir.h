// A scratch directory for file tests, removed with everything in it when the test ends, and
// small helpers for the bytes of files.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
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
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    FM_FILESPEC spec(const std::string& name) const {
        FM_FILESPEC s;
        FM_SetPath(&s, file(name).c_str());
        return s;
    }

  private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
inline bool Exists(const std::string& path) {
    return std::ifstream(path).good();
}

// A little-endian 32-bit integer as four bytes, and back.
inline std::string Le32(std::int32_t value) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i));
    return s;
}
inline std::int32_t GetLe32(const std::string& bytes, size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return static_cast<std::int32_t>(v);
}

}  // namespace testing_support
