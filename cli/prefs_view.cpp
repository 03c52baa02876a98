#include "prefs_view.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "cli.h"

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
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         std::fclose);
    if (!file) Fail(path, std::string("cannot open: ") + std::strerror(errno));
    struct stat info;
    if (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode))
        Fail(path, "not a regular file");

    PreferenceFileView view;
    view.size = info.st_size;
    if (view.size == 0) Fail(path, "empty file, no record count");
    unsigned char word[8];
    if (view.size < 4 || std::fread(word, 1, 4, file.get()) != 4)
        Fail(path, std::to_string(view.size) + " bytes, too short for the 4-byte record count");
    view.count = Le32(word);
    if (view.count < 0) Fail(path, "record count is negative (" + std::to_string(view.count) + ")");

    std::int64_t position = 4;
    for (std::int32_t i = 0; i < view.count; ++i) {
        RawRecord r;
        r.index = i + 1;
        r.offset = position;
        std::string which = "record " + std::to_string(r.index);
        std::int64_t left = view.size - position;
        if (left == 0)
            Fail(path, "record count is " + std::to_string(view.count) +
                           " but the file ends after " + std::to_string(i) +
                           (i == 1 ? " record" : " records"));
        if (left < 8 || std::fread(word, 1, 8, file.get()) != 8)
            Fail(path,
                 which + " is cut off: its header has " + std::to_string(left) + " of 8 bytes");
        r.signature = Le32(word);
        std::int32_t length = Le32(word + 4);
        which += " (signature " + std::to_string(r.signature) + ")";
        if (length < 8)
            Fail(path,
                 which + " has length " + std::to_string(length) + ", less than its 8-byte header");
        if (length - 8 > left - 8)
            Fail(path, which + " runs past the end of the file: length " + std::to_string(length) +
                           ", " + std::to_string(left) + " bytes left");
        r.size = length - 8;
        if (r.size == DecodedSize(r.signature)) {
            r.data.resize(static_cast<size_t>(r.size));
            if (std::fread(&r.data[0], 1, r.data.size(), file.get()) != r.data.size())
                Fail(path, which + ": read error");
        } else if (fseeko(file.get(), r.size, SEEK_CUR) != 0) {
            Fail(path, which + ": seek error");
        }
        position += length;
        view.records.push_back(std::move(r));
    }
    view.trailing = view.size - position;
    return view;
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

bool ReadMonitor(const std::string& path, const PreferenceFileView& view, PF_MonitorSettings* m) {
    for (const RawRecord& r : view.records) {
        if (r.signature != PF_SigMonitorSettings) continue;
        if (r.size != static_cast<std::int32_t>(sizeof *m))
            Fail(path, "record " + std::to_string(r.index) + " (signature 102) holds " +
                           std::to_string(r.size) + " bytes, not the 1828 of monitor settings");
        break;
    }
    FM_FILESPEC spec = SpecOf(path);
    char* data = nullptr;
    std::int32_t size = 0;
    short status = ReadPreference(&spec, PF_SigMonitorSettings, &data, &size);
    if (status == PF_ERR_NOT_FOUND) return false;
    if (status < 0) Fail(path, "cannot read the monitor record: " + StatusText(status));
    if (size != static_cast<std::int32_t>(sizeof *m)) {
        delete[] data;
        Fail(path, "the monitor record changed while it was read");
    }
    std::memcpy(m, data, sizeof *m);
    delete[] data;
    return true;
}

}  // namespace cli
