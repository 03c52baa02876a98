// The preference store on arbitrary file bytes: every lookup either fails cleanly or returns
// a buffer the file can hold; a write that reports success can be read back, and leaves the
// records read before it as they were; the meter settings load, save and load again to the
// same values.
#include <cstring>
#include <map>
#include <string>

#include "fuzz_support.h"
#include "settings/preference_io.h"
#include "vantrel/settings.h"

namespace {

constexpr std::int32_t kSignatures[] = {PF_SigOldVersion, PF_SigProfileSettings,
                                        PF_SigMonitorSettings, PF_SigMeterOptions, 7};

using preference_io::Lookup;

// A lookup that keeps the store's promises: no buffer after a failure, and never more data than
// the file holds.
Lookup Read(const FM_FILESPEC& spec, std::int32_t sig, size_t fileSize) {
    const Lookup r = preference_io::Read(spec, sig);
    VANTREL_FUZZ_CHECK(r.clean && r.data.size() <= fileSize);
    return r;
}

// What a meter settings object holds, as bytes.
std::string Values(const CMeterSettings& m) {
    const std::int32_t ints[] = {m.m_nCode1,  m.m_nValue1, m.m_nCode2,
                                 m.m_nValue2, m.m_bFlag1,  m.m_bFlag2};
    return std::string(reinterpret_cast<const char*>(ints), sizeof ints) +
           std::string(reinterpret_cast<const char*>(m.m_abData1), 256) +
           std::string(reinterpret_cast<const char*>(m.m_abData2), 256);
}

void FuzzMeterSettings(const std::string& file, const FM_FILESPEC& spec, size_t size) {
    const CString path = preference_io::Wide(file);
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
    VANTREL_FUZZ_CHECK(Values(again) == Values(loaded));
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
    if (preference_io::Write(spec, sig, payload) >= 0) {
        const size_t grown = size + payload.size() + 12;
        Lookup r = Read(spec, sig, grown);
        VANTREL_FUZZ_CHECK(r.status >= 0 && r.data == payload);
        for (const auto& [other, bytes] : before) {
            Lookup kept = Read(spec, other, grown);
            VANTREL_FUZZ_CHECK(other == sig || (kept.status >= 0 && kept.data == bytes));
        }
    }

    testing_support::WriteFile(kFile, bytes);
    FuzzMeterSettings(kFile, spec, size);
    return 0;
}
