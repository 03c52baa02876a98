// The preference store on arbitrary file bytes: every lookup either fails cleanly or returns
// a buffer the file can hold; a write that reports success can be read back, and leaves the
// records read before it as they were; the meter settings load, save and load again to the
// same values.
#include <cstring>
#include <map>
#include <string>

#include "fuzz_support.h"
#include "vantrel/settings.h"

namespace {

constexpr std::int32_t kSignatures[] = {PF_SigOldVersion, PF_SigProfileSettings,
                                        PF_SigMonitorSettings, PF_SigMeterOptions, 7};

struct Lookup {
    short status;
    std::string data;
};

Lookup Read(const FM_FILESPEC& spec, std::int32_t sig, size_t fileSize) {
    char* data = reinterpret_cast<char*>(1);
    std::int32_t size = -1;
    Lookup r{ReadPreference(&spec, static_cast<PF_Signature>(sig), &data, &size), {}};
    if (r.status < 0) {
        VANTREL_FUZZ_CHECK(data == nullptr && size == 0);
        return r;
    }
    VANTREL_FUZZ_CHECK(data != nullptr && size >= 0 && static_cast<size_t>(size) <= fileSize);
    r.data.assign(data, static_cast<size_t>(size));
    delete[] data;
    return r;
}

struct MeterValues {
    std::int32_t ints[6];
    std::uint8_t data1[256], data2[256];
};

MeterValues Values(const CMeterSettings& m) {
    MeterValues v{
        {m.m_nCode1, m.m_nValue1, m.m_nCode2, m.m_nValue2, m.m_bFlag1, m.m_bFlag2}, {}, {}};
    std::memcpy(v.data1, m.m_abData1, 256);
    std::memcpy(v.data2, m.m_abData2, 256);
    return v;
}

bool Same(const MeterValues& a, const MeterValues& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void FuzzMeterSettings(const std::string& file, const FM_FILESPEC& spec, size_t size) {
    const CString path(std::wstring(file.begin(), file.end()));
    CMeterSettings loaded(path);
    std::memset(loaded.m_abData1, 0xA5, 256);
    loaded.m_nCode1 = 12345;
    loaded.Update(true);
    const Lookup record = Read(spec, PF_SigMeterOptions, size);
    if (record.status < 0 || record.data.size() < sizeof(MeterOptionsRecord)) {
        VANTREL_FUZZ_CHECK(loaded.m_nCode1 == 0 && loaded.m_nValue1 == 1 && loaded.m_bFlag2 == 0);
        VANTREL_FUZZ_CHECK(loaded.m_abData1[0] == 0xA5 && loaded.m_abData1[255] == 0xA5);
    }

    // Load, save, load is a fixed point whenever the save went through.
    loaded.Update(false);
    const Lookup saved = Read(spec, PF_SigMeterOptions, size + 2 * sizeof(MeterOptionsRecord));
    if (saved.status < 0 || saved.data.size() != sizeof(MeterOptionsRecord)) return;
    CMeterSettings again(path);
    again.Update(true);
    VANTREL_FUZZ_CHECK(Same(Values(again), Values(loaded)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static const testing_support::TempDir kDir;
    static const std::string kFile = kDir.File("prefs");
    const FM_FILESPEC spec = kDir.Spec("prefs");
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    testing_support::WriteFile(kFile, bytes);

    std::map<std::int32_t, std::string> before;
    for (std::int32_t sig : kSignatures) {
        Lookup r = Read(spec, sig, size);
        if (r.status >= 0) before[sig] = r.data;
    }
    VANTREL_FUZZ_CHECK(IsPreferenceFileVersionUpdated(&spec) ==
                       (before.count(PF_SigOldVersion) == 0));

    // Rewrite a record in place when it is there (same size), else append one.
    const std::int32_t sig = kSignatures[size % std::size(kSignatures)];
    std::string payload(before.count(sig) ? before[sig].size() : size % 97, '\0');
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(0x5A ^ i);
    const short written = WritePreference(&spec, static_cast<PF_Signature>(sig), payload.data(),
                                          static_cast<std::int32_t>(payload.size()));
    if (written >= 0) {
        const size_t grown = size + payload.size() + 12;
        Lookup r = Read(spec, sig, grown);
        VANTREL_FUZZ_CHECK(r.status >= 0 && r.data == payload);
        for (const auto& [other, bytes] : before) {
            if (other == sig) continue;
            Lookup kept = Read(spec, other, grown);
            VANTREL_FUZZ_CHECK(kept.status >= 0 && kept.data == bytes);
        }
    }

    testing_support::WriteFile(kFile, bytes);
    FuzzMeterSettings(kFile, spec, size);
    return 0;
}
