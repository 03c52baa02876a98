// Internal helpers of the preference store and the records: a file handle that closes itself,
// and the little-endian 32-bit fields of the file's count and record headers.
#pragma once

#include <cstdint>

#include "orvane/file_services.h"

namespace vantrel::detail {

constexpr std::int32_t kRecordHeaderSize = 8;  // signature and length, 4 bytes each

// Holds a file-services handle (0 until the open succeeds) and closes it when it goes out of
// scope; the close status is not looked at.
class PreferenceFile {
  public:
    PreferenceFile() = default;
    ~PreferenceFile() {
        if (handle != 0) FM_Close(handle);
    }
    PreferenceFile(const PreferenceFile&) = delete;
    PreferenceFile& operator=(const PreferenceFile&) = delete;

    int handle = 0;
};

inline void PutLe32(std::int32_t value, unsigned char* out) {
    std::uint32_t v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(v >> (8 * i));
}

inline std::int32_t GetLe32(const unsigned char* in) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | in[i];
    return static_cast<std::int32_t>(v);
}

// Writes a record header: the signature, then the whole record's length (data + 8).
inline short WriteRecordHeader(int handle, std::int32_t signature, std::int32_t dataSize) {
    unsigned char header[kRecordHeaderSize];
    PutLe32(signature, header);
    PutLe32(dataSize + kRecordHeaderSize, header + 4);
    return FM_Write(handle, header, kRecordHeaderSize);
}

}  // namespace vantrel::detail
