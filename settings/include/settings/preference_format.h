// The layout of a preference file and a walk over its records that says where and why a file is
// damaged. The store reads and writes through these checks; the command's checked reading of a
// whole file (show, repair) walks with them too, so that the format has one owner. Internal to
// the library and the command: nothing here is exported.
//
// A file is a record count (32 bits), then the records one after another: each a signature and
// a length (32 bits each; the length counts the 8-byte header itself), then its data. Every
// number is little-endian. Bytes after the counted records are no part of the file's content:
// an append cut short leaves them there.
#pragma once

#include <cstdint>

namespace vantrel::detail {

constexpr std::int64_t kCountSize = 4;
constexpr std::int32_t kRecordHeaderSize = 8;  // signature and length, 4 bytes each

inline void PutLe32(std::int32_t value, unsigned char* out) {
    std::uint32_t v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(v >> (8 * i));
}

inline std::int32_t GetLe32(const unsigned char* in) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | in[i];
    return static_cast<std::int32_t>(v);
}

// Why a walk stopped before the end of what it was to read.
enum class Damage {
    kNone,
    kNoCount,        // the file is shorter than the record count
    kNegativeCount,  // the count is below zero
    kMissingRecord,  // the file ends where the count promises another record
    kCutHeader,      // fewer bytes are left than a record header takes
    kShortLength,    // a length below the header's own 8 bytes
    kPastEnd,        // a record's data runs past the end of the file
};

// A record as its header gives it.
struct RecordHeader {
    std::int32_t signature = 0;
    std::int32_t length = 0;  // header included, as stored
    std::int32_t DataSize() const { return length - kRecordHeaderSize; }
};

// Reads the 8 header bytes of the record that starts `offset` bytes into a file of `fileSize`
// bytes, and checks the length against the file before anyone trusts it: a damaged length can
// neither walk backwards (and loop) nor make a reader allocate more than the file holds.
// kShortLength or kPastEnd, with `record` holding what the header says, when it cannot be
// trusted.
inline Damage ReadRecordHeader(const unsigned char* header, std::int64_t offset,
                               std::int64_t fileSize, RecordHeader* record) {
    record->signature = GetLe32(header);
    record->length = GetLe32(header + 4);
    if (record->length < kRecordHeaderSize) return Damage::kShortLength;
    if (record->DataSize() > fileSize - offset - kRecordHeaderSize) return Damage::kPastEnd;
    return Damage::kNone;
}

// A record met by a walk over a file held in memory.
struct WalkedRecord {
    std::int32_t index = 0;   // 1-based position in the file
    std::int64_t offset = 0;  // of its header
    RecordHeader header;
    const unsigned char* data = nullptr;  // header.DataSize() bytes
};

// Walks the records of the `size` bytes at `bytes`: first the count, then one record after
// another, whatever the count says; the caller decides how many to read.
class RecordWalk {
  public:
    RecordWalk(const unsigned char* bytes, std::int64_t size) : bytes_(bytes), size_(size) {}

    // Reads the record count into `count`: kNoCount when the file is shorter than a count,
    // kNegativeCount (with `count` set) when it is below zero.
    Damage ReadCount(std::int32_t* count) {
        if (size_ < kCountSize) return Damage::kNoCount;
        *count = GetLe32(bytes_);
        position_ = kCountSize;
        return *count < 0 ? Damage::kNegativeCount : Damage::kNone;
    }

    // Reads the record at the walk's position into `record` and moves past it. kMissingRecord
    // at the end of the file; kCutHeader, kShortLength or kPastEnd for a record that is not
    // whole, which leaves the walk where it is (`record` holds its index and offset, and what
    // its header says where there is one).
    Damage Next(WalkedRecord* record) {
        record->index = index_ + 1;
        record->offset = position_;
        if (Left() == 0) return Damage::kMissingRecord;
        if (Left() < kRecordHeaderSize) return Damage::kCutHeader;
        const Damage damage =
            ReadRecordHeader(bytes_ + position_, position_, size_, &record->header);
        if (damage != Damage::kNone) return damage;
        record->data = bytes_ + position_ + kRecordHeaderSize;
        position_ += record->header.length;
        ++index_;
        return Damage::kNone;
    }

    // The bytes after the walk's position.
    std::int64_t Left() const { return size_ - position_; }
    std::int64_t Position() const { return position_; }

  private:
    const unsigned char* bytes_;
    std::int64_t size_;
    std::int64_t position_ = 0;
    std::int32_t index_ = 0;
};

}  // namespace vantrel::detail
