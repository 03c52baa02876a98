#include "prefs_view.h"

#include "cli.h"
#include "input.h"
#include "settings/preference_format.h"

namespace cli {

namespace {

using vantrel::detail::Damage;
using vantrel::detail::kCountSize;
using vantrel::detail::kRecordHeaderSize;
using vantrel::detail::RecordWalk;
using vantrel::detail::WalkedRecord;

const unsigned char* BytesOf(const std::string& bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.data());
}

std::string TooShortForCount(std::int64_t size) {
    return std::to_string(size) + " bytes, too short for the " + std::to_string(kCountSize) +
           "-byte record count";
}

// What is wrong with the record a walk stopped at, in words; `left`: the bytes from its start.
std::string Why(Damage damage, const WalkedRecord& r, std::int32_t count, std::int64_t left) {
    const std::string which = "record " + std::to_string(r.index);
    const std::string header = std::to_string(kRecordHeaderSize);
    const std::string named = which + " (signature " + std::to_string(r.header.signature) + ")";
    switch (damage) {
        case Damage::kMissingRecord:
            return "record count is " + std::to_string(count) + " but the file ends after " +
                   std::to_string(r.index - 1) + (r.index == 2 ? " record" : " records");
        case Damage::kCutHeader:
            return which + " is cut off: its header has " + std::to_string(left) + " of " + header +
                   " bytes";
        case Damage::kShortLength:
            return named + " has length " + std::to_string(r.header.length) + ", less than its " +
                   header + "-byte header";
        default:
            return named + " runs past the end of the file: length " +
                   std::to_string(r.header.length) + ", " + std::to_string(left) + " bytes left";
    }
}

RawRecord RawOf(const WalkedRecord& w) {
    RawRecord r;
    r.index = w.index;
    r.offset = w.offset;
    r.signature = w.header.signature;
    r.size = w.header.DataSize();
    r.data.assign(reinterpret_cast<const char*>(w.data), static_cast<size_t>(r.size));
    return r;
}

}  // namespace

void FailOn(const std::string& path, const std::string& what) {
    throw Failure(path + ": " + what);
}

const char* RecordKind(std::int32_t signature) {
    switch (signature) {
        case PF_SigOldVersion:
            return "old-version marker";
        case PF_SigProfileSettings:
            return "profile settings";
        case PF_SigMonitorSettings:
            return "monitor settings";
        case PF_SigMeterOptions:
            return "meter options";
        default:
            return nullptr;
    }
}

bool Decodable(const RawRecord& raw) {
    return raw.size == DecodedSize(raw.signature);
}

std::int32_t DecodedSize(std::int32_t signature) {
    switch (signature) {
        case PF_SigProfileSettings:
            return sizeof(PF_ProfileSettings);
        case PF_SigMonitorSettings:
            return sizeof(PF_MonitorSettings);
        case PF_SigMeterOptions:
            return sizeof(MeterOptionsRecord);
        default:
            return -1;
    }
}

PreferenceFileView InspectPreferenceFile(const std::string& path) {
    const std::string name = InputName(path);
    const std::string bytes = ReadInput(path);
    PreferenceFileView view;
    view.size = static_cast<std::int64_t>(bytes.size());
    RecordWalk walk(BytesOf(bytes), view.size);
    const Damage countDamage = walk.ReadCount(&view.count);
    if (countDamage == Damage::kNoCount)
        FailOn(name, view.size == 0 ? "empty file, no record count" : TooShortForCount(view.size));
    if (countDamage == Damage::kNegativeCount)
        FailOn(name, "record count is negative (" + std::to_string(view.count) + ")");
    for (std::int32_t i = 0; i < view.count; ++i) {
        WalkedRecord record;
        const Damage damage = walk.Next(&record);
        if (damage != Damage::kNone) FailOn(name, Why(damage, record, view.count, walk.Left()));
        view.records.push_back(RawOf(record));
    }
    view.trailing = walk.Left();
    return view;
}

Salvage SalvagePreferenceFile(const std::string& path) {
    const std::string name = InputName(path);
    const std::string bytes = ReadInput(path);
    RecordWalk walk(BytesOf(bytes), static_cast<std::int64_t>(bytes.size()));
    Salvage salvage;
    // A negative count is no reason to give up what the records hold.
    if (walk.ReadCount(&salvage.count) == Damage::kNoCount)
        FailOn(name, TooShortForCount(static_cast<std::int64_t>(bytes.size())));
    while (walk.Left() > 0) {
        WalkedRecord record;
        if (walk.Next(&record) != Damage::kNone) {
            salvage.dropped.push_back(std::to_string(walk.Left()) + " bytes from offset " +
                                      std::to_string(walk.Position()) +
                                      " (not a whole record: a write cut short)");
            break;
        }
        bool repeated = false;
        for (const RawRecord& k : salvage.kept)
            repeated = repeated || k.signature == record.header.signature;
        if (repeated) {
            salvage.dropped.push_back("record " + std::to_string(record.index) + " (signature " +
                                      std::to_string(record.header.signature) +
                                      "): an earlier record has its signature, and the store "
                                      "reads only the first");
            continue;
        }
        if (record.index <= salvage.count) ++salvage.counted;
        salvage.kept.push_back(RawOf(record));
    }
    return salvage;
}

FM_FILESPEC SpecOf(const std::string& path) {
    FM_FILESPEC spec;
    if (!FM_SetPath(&spec, path.c_str()))
        FailOn(path, "path is not valid UTF-8 or longer than 511 UTF-16 units");
    return spec;
}

std::string StatusText(short status) {
    switch (status) {
        case PF_ERR_NOT_FOUND:
            return "no such record";
        case PF_ERR_NO_MEMORY:
            return "out of memory";
        case PF_ERR_DAMAGED:
            return "damaged file";
        case PF_ERR_SIZE_MISMATCH:
            return "the stored record has another size";
        case FM_ERR_NOT_FOUND:
            return "no such file or directory";
        case FM_ERR_ACCESS:
            return "permission denied";
        case FM_ERR_WRITE:
            return "write error (disk full?)";
        default:
            return "file-service status " + std::to_string(status);
    }
}

Meter MeterOf(const MeterBlock& block) {
    bool flagged = block.nCode >= 100;
    return {flagged ? block.nCode - 100 : block.nCode, flagged ? 1 : 0, block.nValue, block.abData};
}

bool ReadMonitor(const std::string& name, const PreferenceFileView& view, PF_MonitorSettings* m) {
    for (const RawRecord& r : view.records) {
        if (r.signature != PF_SigMonitorSettings) continue;
        if (!Decodable(r))
            FailOn(name, "record " + std::to_string(r.index) + " (signature " +
                             std::to_string(PF_SigMonitorSettings) + ") holds " +
                             std::to_string(r.size) + " bytes, not the " +
                             std::to_string(sizeof(PF_MonitorSettings)) + " of monitor settings");
        *m = Decode<PF_MonitorSettings>(r);
        return true;
    }
    return false;
}

}  // namespace cli
