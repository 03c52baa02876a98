// The preference file store: one signed record of a preference file read or written per call.
#include <cstdint>
#include <limits>
#include <new>

#include "record_io.h"
#include "vantrel/settings.h"

namespace {

using vantrel::detail::Damage;
using vantrel::detail::GetLe32;
using vantrel::detail::kCountSize;
using vantrel::detail::kRecordHeaderSize;
using vantrel::detail::PreferenceFile;
using vantrel::detail::PutLe32;
using vantrel::detail::RecordHeader;

short ReadLe32(int handle, std::int32_t* value) {
    unsigned char bytes[4];
    short status = FM_Read(handle, bytes, 4);
    if (status >= 0) *value = GetLe32(bytes);
    return status;
}

short WriteLe32(int handle, std::int32_t value) {
    unsigned char bytes[4];
    PutLe32(value, bytes);
    return FM_Write(handle, bytes, 4);
}

struct Lookup {
    bool found = false;
    std::int32_t dataSize = 0;           // of the record found
    std::int64_t position = kCountSize;  // file position reached
};

// Walks `count` record headers from the current position (just after the count) until one has
// `sig`, which leaves the file positioned at that record's data. Every header is checked
// against the file's size before it is trusted (ReadRecordHeader).
short FindRecord(int handle, std::int32_t count, std::int64_t fileSize, PF_Signature sig,
                 Lookup* lookup) {
    for (std::int32_t i = 0; i < count; ++i) {
        unsigned char bytes[kRecordHeaderSize];
        short status = FM_Read(handle, bytes, kRecordHeaderSize);
        if (status < 0) return status;
        RecordHeader header;
        if (vantrel::detail::ReadRecordHeader(bytes, lookup->position, fileSize, &header) !=
            Damage::kNone)
            return PF_ERR_DAMAGED;
        lookup->position += kRecordHeaderSize;
        if (header.signature == sig) {
            lookup->found = true;
            lookup->dataSize = header.DataSize();
            return status;
        }
        status = FM_Seek(handle, FM_SEEK_CURRENT, header.DataSize());
        if (status < 0) return status;
        lookup->position += header.DataSize();
    }
    return FM_OK;
}

}  // namespace

short ReadPreference(const FM_FILESPEC* pSpec, PF_Signature sig, char** ppData,
                     std::int32_t* pSize) {
    if (ppData) *ppData = nullptr;
    if (pSize) *pSize = 0;
    if (!pSpec || !ppData || !pSize) return PF_ERR_INVALID_ARGUMENT;

    PreferenceFile file;
    short status = FM_Open(pSpec, FM_MODE_READ, &file.handle);
    if (status < 0) return status;
    std::int64_t fileSize = 0;
    status = FM_GetSize(file.handle, &fileSize);
    if (status < 0) return status;
    std::int32_t count = 0;
    status = ReadLe32(file.handle, &count);
    if (status < 0) return status;

    Lookup lookup;
    status = FindRecord(file.handle, count, fileSize, sig, &lookup);
    if (status < 0) return status;
    if (!lookup.found) return PF_ERR_NOT_FOUND;

    // new[] of zero bytes still gives a distinct, non-null pointer for the caller to release.
    char* data = new (std::nothrow) char[static_cast<size_t>(lookup.dataSize)];
    if (!data) return PF_ERR_NO_MEMORY;
    status = FM_Read(file.handle, data, lookup.dataSize);
    if (status < 0) {
        delete[] data;
        return status;
    }
    *ppData = data;
    *pSize = lookup.dataSize;
    return status;
}

short WritePreference(const FM_FILESPEC* pSpec, PF_Signature sig, const char* pData,
                      std::int32_t nSize) {
    constexpr std::int32_t kMaxDataSize =
        std::numeric_limits<std::int32_t>::max() - kRecordHeaderSize;
    if (!pSpec || nSize < 0 || (nSize > 0 && !pData) || nSize > kMaxDataSize)
        return PF_ERR_INVALID_ARGUMENT;

    PreferenceFile file;
    short status = FM_Open(pSpec, FM_MODE_READWRITE, &file.handle);
    if (status < 0) return status;
    std::int64_t fileSize = 0;
    status = FM_GetSize(file.handle, &fileSize);
    if (status < 0) return status;

    std::int32_t count = 0;
    if (fileSize < kCountSize) {
        // A new file, or one whose first write was cut short before its count was whole: it
        // holds no record, so it gets a count of 0 first, and an append that fails half-way
        // still leaves a valid file. A count that cannot be read from a longer file is a
        // failure, not a reason to start the file over.
        status = WriteLe32(file.handle, 0);
        if (status < 0) return status;
    } else {
        status = ReadLe32(file.handle, &count);
        if (status < 0) return status;
        if (count < 0) return PF_ERR_DAMAGED;
    }

    Lookup lookup;
    status = FindRecord(file.handle, count, fileSize, sig, &lookup);
    if (status < 0) return status;
    if (lookup.found) {
        if (lookup.dataSize != nSize) return PF_ERR_SIZE_MISMATCH;
        return FM_Write(file.handle, pData, nSize);
    }

    // Append after the last counted record (over whatever an interrupted append left there),
    // then count it: the count is written last.
    if (count == std::numeric_limits<std::int32_t>::max()) return PF_ERR_DAMAGED;
    status = vantrel::detail::WriteRecordHeader(file.handle, sig, nSize);
    if (status < 0) return status;
    status = FM_Write(file.handle, pData, nSize);
    if (status < 0) return status;
    unsigned char newCount[4];
    PutLe32(count + 1, newCount);
    return FM_SeekAndWrite(file.handle, 0, FM_SEEK_START, newCount, 4);
}

bool IsPreferenceFileVersionUpdated(const FM_FILESPEC* pSpec) {
    char* data = nullptr;
    std::int32_t size = 0;
    short status = ReadPreference(pSpec, PF_SigOldVersion, &data, &size);
    delete[] data;
    return status < 0;
}
