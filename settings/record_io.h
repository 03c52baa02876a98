// Internal helpers of the preference store and the records: a file handle that closes itself,
// and the writing of a record header in the file's layout (settings/preference_format.h).
#pragma once

#include <cstdint>

#include "orvane/file_services.h"
#include "settings/preference_format.h"

namespace vantrel::detail {

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

// Writes a record header: the signature, then the whole record's length (data + 8).
inline short WriteRecordHeader(int handle, std::int32_t signature, std::int32_t dataSize) {
    unsigned char header[kRecordHeaderSize];
    PutLe32(signature, header);
    PutLe32(dataSize + kRecordHeaderSize, header + 4);
    return FM_Write(handle, header, kRecordHeaderSize);
}

}  // namespace vantrel::detail
