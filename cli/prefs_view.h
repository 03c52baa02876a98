// The command's checked reading of a whole preference file, over the library's record walk
// (settings/preference_format.h): damage reported in one line naming what is wrong, and the
// records an interrupted write left after the counted ones, for repair. Writing goes through
// the library's store alone.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "vantrel/settings.h"

namespace cli {

// Throws a Failure "PATH: WHAT".
[[noreturn]] void FailOn(const std::string& path, const std::string& what);

struct RawRecord {
    int index = 0;            // 1-based position in the file
    std::int64_t offset = 0;  // of its header
    std::int32_t signature = 0;
    std::int32_t size = 0;  // data bytes
    std::string data;
};

struct PreferenceFileView {
    std::int64_t size = 0;
    std::int32_t count = 0;
    std::vector<RawRecord> records;
    std::int64_t trailing = 0;  // bytes after the last counted record
};

// Reads the file at `path` ("-": standard input) and walks every record; anything the store
// would refuse is a Failure naming the file and what is wrong with it.
PreferenceFileView InspectPreferenceFile(const std::string& path);

// What an interrupted write left: the records that are whole, walked from the start whatever
// the count says, and what was given up.
struct Salvage {
    std::vector<RawRecord> kept;       // in file order, each signature once
    std::int32_t counted = 0;          // how many of `kept` the file's count covers
    std::vector<std::string> dropped;  // one phrase per thing left out
    std::int32_t count = 0;            // the count the file states
};
// A Failure when the file cannot be read or has no whole count.
Salvage SalvagePreferenceFile(const std::string& path);

// What a known signature holds ("monitor settings"), or null.
const char* RecordKind(std::int32_t signature);
// The data size of a record the command decodes, or -1.
std::int32_t DecodedSize(std::int32_t signature);
// Whether the command decodes `raw` (a known signature of its size).
bool Decodable(const RawRecord& raw);

// A record's bytes as the record structure (its data is DecodedSize bytes long).
template <typename Record>
Record Decode(const RawRecord& raw) {
    Record record;
    std::memcpy(&record, raw.data.data(), sizeof record);
    return record;
}

// One instrument of the meter options, as the meter settings read it: the flag is kept in the
// code as 100 more.
struct Meter {
    std::int32_t code;
    int flag;
    std::int32_t value;
    const std::uint8_t* data;  // the 256 bytes the meter settings keep
};
Meter MeterOf(const MeterBlock& block);

// The FM_FILESPEC of a path; a Failure when the file services cannot take it.
FM_FILESPEC SpecOf(const std::string& path);
// A status of the store or the file services in words.
std::string StatusText(short status);
// The monitor settings of an inspected file, as the store finds them: the first counted
// record 102, read into `monitor`; false when there is none. A record 102 of the wrong size
// is a Failure naming `name`.
bool ReadMonitor(const std::string& name, const PreferenceFileView& view,
                 PF_MonitorSettings* monitor);

}  // namespace cli
