#include "prefs_view.h"

#include "cli.h"
#include "input.h"

namespace cli {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
    throw Failure(path + ": " + what);
}

// A little-endian 32-bit number.
std::int32_t Le32(const unsigned char* p) {
    return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                     std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
}

}  // namespace

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
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    PreferenceFileView view;
    view.size = static_cast<std::int64_t>(bytes.size());
    if (view.size == 0) Fail(name, "empty file, no record count");
    if (view.size < 4)
        Fail(name, std::to_string(view.size) + " bytes, too short for the 4-byte record count");
    view.count = Le32(p);
    if (view.count < 0) Fail(name, "record count is negative (" + std::to_string(view.count) + ")");

    std::int64_t position = 4;
    for (std::int32_t i = 0; i < view.count; ++i) {
        RawRecord r;
        r.index = i + 1;
        r.offset = position;
        std::string which = "record " + std::to_string(r.index);
        const std::int64_t left = view.size - position;
        if (left == 0)
            Fail(name, "record count is " + std::to_string(view.count) +
                           " but the file ends after " + std::to_string(i) +
                           (i == 1 ? " record" : " records"));
        if (left < 8)
            Fail(name,
                 which + " is cut off: its header has " + std::to_string(left) + " of 8 bytes");
        r.signature = Le32(p + position);
        const std::int32_t length = Le32(p + position + 4);
        which += " (signature " + std::to_string(r.signature) + ")";
        if (length < 8)
            Fail(name,
                 which + " has length " + std::to_string(length) + ", less than its 8-byte header");
        if (length - 8 > left - 8)
            Fail(name, which + " runs past the end of the file: length " + std::to_string(length) +
                           ", " + std::to_string(left) + " bytes left");
        r.size = length - 8;
        r.data = bytes.substr(static_cast<size_t>(position + 8), static_cast<size_t>(r.size));
        position += length;
        view.records.push_back(std::move(r));
    }
    view.trailing = view.size - position;
    return view;
}

Salvage SalvagePreferenceFile(const std::string& path) {
    const std::string name = InputName(path);
    const std::string bytes = ReadInput(path);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (size < 4)
        Fail(name, std::to_string(size) + " bytes, too short for the 4-byte record count");
    Salvage salvage;
    salvage.count = Le32(p);
    std::int64_t position = 4;
    for (std::int32_t index = 1; position < size; ++index) {
        const std::int64_t left = size - position;
        const std::int32_t length = left >= 8 ? Le32(p + position + 4) : 0;
        if (left < 8 || length < 8 || length - 8 > left - 8) {
            salvage.dropped.push_back(std::to_string(left) + " bytes from offset " +
                                      std::to_string(position) +
                                      " (not a whole record: a write cut short)");
            break;
        }
        RawRecord r;
        r.index = index;
        r.offset = position;
        r.signature = Le32(p + position);
        r.size = length - 8;
        r.data = bytes.substr(static_cast<size_t>(position + 8), static_cast<size_t>(r.size));
        position += length;
        bool repeated = false;
        for (const RawRecord& k : salvage.kept) repeated = repeated || k.signature == r.signature;
        if (repeated) {
            salvage.dropped.push_back("record " + std::to_string(index) + " (signature " +
                                      std::to_string(r.signature) +
                                      "): an earlier record has its signature, and the store "
                                      "reads only the first");
            continue;
        }
        if (index <= salvage.count) ++salvage.counted;
        salvage.kept.push_back(std::move(r));
    }
    return salvage;
}

FM_FILESPEC SpecOf(const std::string& path) {
    FM_FILESPEC spec;
    if (!FM_SetPath(&spec, path.c_str()))
        Fail(path, "path is not valid UTF-8 or longer than 511 UTF-16 units");
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
            Fail(name, "record " + std::to_string(r.index) + " (signature 102) holds " +
                           std::to_string(r.size) + " bytes, not the 1828 of monitor settings");
        *m = Decode<PF_MonitorSettings>(r);
        return true;
    }
    return false;
}

}  // namespace cli
