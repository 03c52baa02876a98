// What the preference tests and the preference fuzz target share: records as the file holds
// them, one record read or written through the store, a path as the classes take it. Free of
// GoogleTest.
#pragma once

#include <cstdint>
#include <string>

#include "support/test_support.h"
#include "vantrel/settings.h"

namespace preference_io {

// Signature, length (the 8 header bytes included) and data, little-endian.
inline std::string Record(std::int32_t sig, const std::string& data) {
    using testing_support::Le32;
    return Le32(sig) + Le32(static_cast<std::int32_t>(data.size()) + 8) + data;
}

// ReadPreference's status and the data of the record found. `clean`: the outputs as promised,
// a buffer (also for a record of no data) after a success, none and a size of 0 after a failure.
struct Lookup {
    short status;
    std::string data;
    bool clean;
};

inline Lookup Read(const FM_FILESPEC& spec, std::int32_t sig) {
    char* data = reinterpret_cast<char*>(1);
    std::int32_t size = -1;
    Lookup r{ReadPreference(&spec, static_cast<PF_Signature>(sig), &data, &size), {}, false};
    if (r.status < 0) {
        r.clean = data == nullptr && size == 0;
        return r;
    }
    r.clean = data != nullptr && size >= 0;
    if (r.clean) r.data.assign(data, static_cast<size_t>(size));
    delete[] data;
    return r;
}

inline short Write(const FM_FILESPEC& spec, std::int32_t sig, const std::string& data) {
    return WritePreference(&spec, static_cast<PF_Signature>(sig), data.data(),
                           static_cast<std::int32_t>(data.size()));
}

inline CString Wide(const std::string& path) {
    return CString(std::wstring(path.begin(), path.end()));
}

}  // namespace preference_io
