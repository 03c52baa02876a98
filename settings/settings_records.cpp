// The monitor and profile settings records: their defaults and the default preference file.
#include <cstring>

#include "record_io.h"
#include "vantrel/settings.h"

namespace {

// Copies a null-terminated UTF-16 text, terminator included, and nothing after it.
template <size_t N, size_t M>
void CopyText(char16_t (&field)[N], const char16_t (&text)[M]) {
    static_assert(M <= N, "the default text fits its field");
    std::memcpy(field, text, sizeof text);
}

constexpr std::uint32_t kColorSpaceSixChannel = 0x4D434836;  // 'MCH6'

// Writes one record: its header, then its data.
short WriteRecord(int handle, PF_Signature sig, const void* data, std::int32_t size) {
    short status = vantrel::detail::WriteRecordHeader(handle, sig, size);
    if (status < 0) return status;
    return FM_Write(handle, data, size);
}

}  // namespace

void GetDefaultMonitor(PF_MonitorSettings& s) {
    s.szName[0] = 0;
    s.fRedX = 0.64f;
    s.fRedY = 0.33f;
    s.fGreenX = 0.30f;
    s.fGreenY = 0.60f;
    s.fBlueX = 0.15f;
    s.fBlueY = 0.06f;
    s.fGamma = 2.2f;
    s.fWhiteX = 0.3127f;
    s.fWhiteY = 0.329f;
    CopyText(s.szWhitePointName, u"D65");
    CopyText(s.szPrimariesName, u"ITU-R BT 709");
    CopyText(s.szGammaName, u"sRGB");
}

void GetDefault(PF_ProfileSettings& s) {
    std::memset(&s, 0, sizeof s);
    s.nSetting0 = 0;
    s.sigColorSpace = kColorSpaceSixChannel;
    s.nSetting8 = 2;
    s.nSetting12 = 1;
    s.nSetting16 = 1;
    s.nSetting24 = 1;
}

short CreateDefaultPreferenceFile_NoMeterOptions(const FM_FILESPEC* pSpec) {
    vantrel::detail::PreferenceFile file;
    short status = FM_Open(pSpec, FM_MODE_CREATE, &file.handle);
    if (status < 0) return status;

    MeterOptionsRecord meter;
    std::memset(&meter, 0, sizeof meter);
    for (MeterBlock& block : meter.aBlock) block.nValue = 1;
    PF_ProfileSettings profile;
    GetDefault(profile);
    PF_MonitorSettings monitor;
    std::memset(&monitor, 0, sizeof monitor);
    GetDefaultMonitor(monitor);

    unsigned char count[4];
    vantrel::detail::PutLe32(3, count);
    status = FM_Write(file.handle, count, 4);
    if (status < 0) return status;
    status = WriteRecord(file.handle, PF_SigMeterOptions, &meter, sizeof meter);
    if (status < 0) return status;
    status = WriteRecord(file.handle, PF_SigProfileSettings, &profile, sizeof profile);
    if (status < 0) return status;
    return WriteRecord(file.handle, PF_SigMonitorSettings, &monitor, sizeof monitor);
}
