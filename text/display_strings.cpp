// Display strings: print resolutions, the current date and time, progress messages.
#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "frame/string_ids.h"
#include "vantrel/text.h"
#include "vantrel_platform/winnls.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Resolution

constexpr int kMaxDecimals = 5;
constexpr size_t kResolutionWorkUnits = 32;  // the text keeps at most 31 units
// Room for two floats printed in full with 5 decimals (46 units each) and the "x".
constexpr size_t kResolutionPrintUnits = 128;

constexpr const wchar_t* kDecimalFormats[kMaxDecimals + 1] = {L"%.0f", L"%.1f", L"%.2f",
                                                              L"%.3f", L"%.4f", L"%.5f"};

// Whole when it survives truncation to a 32-bit integer. Values outside that range, and NaN,
// are never whole (and are kept away from a conversion that would be undefined for them).
bool IsWhole(float value) {
    if (!(value >= -2147483648.0f && value < 2147483648.0f)) return false;
    return static_cast<float>(static_cast<std::int32_t>(value)) == value;
}

// The decimals a number needs: multiply by 10 in single precision until it is whole, four
// times at most.
int DecimalsNeeded(float value) {
    for (int decimals = 0; decimals < kMaxDecimals; ++decimals) {
        if (IsWhole(value)) return decimals;
        value = value * 10.0f;
    }
    return kMaxDecimals;
}

// ---------------------------------------------------------------------------------------------
// Current time

constexpr size_t kTimeWorkUnits = 128;  // the text keeps at most 127 units

using DateTimeFormatter = int (*)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int);

// One part of the time text; a part too long for the work buffer is fetched whole, to be cut
// with the joined text.
std::wstring FormatPart(DateTimeFormatter format, LCID locale, DWORD flags,
                        const SYSTEMTIME& when) {
    wchar_t work[kTimeWorkUnits];
    if (format(locale, flags, &when, nullptr, work, static_cast<int>(kTimeWorkUnits)) > 0)
        return work;
    const int needed = format(locale, flags, &when, nullptr, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::vector<wchar_t> longer(static_cast<size_t>(needed));
    if (format(locale, flags, &when, nullptr, longer.data(), needed) <= 0) return std::wstring();
    return longer.data();
}

// ---------------------------------------------------------------------------------------------
// Progress messages

UINT ProgressMessageId(short code) {
    using namespace vantrel;
    switch (code) {
        case 0:
            return kIdsPerceptualTable;
        case 1:
            return kIdsRelativeColorimetricTable;
        case 2:
            return kIdsSaturationTable;
        case 10:
            return kIdsCalculatingGamut;
        case 16:
            return kIdsHifiPerceptualTable;
        case 17:
            return kIdsHifiRelativeColorimetricTable;
        case 18:
            return kIdsHifiSaturationTable;
        case 20:
            return kIdsGamutTable;
        case 30:
            return kIdsSmoothingTables;
        case 40:
            return kIdsForwardTable;
        case 51:
            return kIdsPreview0Tag;
        case 52:
            return kIdsPreview1Tag;
        case 53:
            return kIdsPreview2Tag;
        default:
            return kIdsBuildingTables;
    }
}

}  // namespace

void GetResolutionString(float fX, float fY, CString& strOut) {
    if (fY == 0.0f) fY = fX;
    const int decimalsX = DecimalsNeeded(fX);
    const int decimalsY = DecimalsNeeded(fY);

    wchar_t text[kResolutionPrintUnits];
    int written;
    if (fX == fY) {
        written = std::swprintf(text, kResolutionPrintUnits, kDecimalFormats[decimalsX],
                                static_cast<double>(fX));
    } else {
        const std::wstring format =
            std::wstring(kDecimalFormats[decimalsX]) + L"x" + kDecimalFormats[decimalsY];
        written = std::swprintf(text, kResolutionPrintUnits, format.c_str(),
                                static_cast<double>(fX), static_cast<double>(fY));
    }
    if (written < 0) written = 0;
    const size_t kept = std::min(static_cast<size_t>(written), kResolutionWorkUnits - 1);
    strOut = CString(text, static_cast<int>(kept));
}

void GetResolutionString(float fX, float fY, wchar_t* pszOut, std::uint32_t nOutChars) {
    if (!pszOut || nOutChars == 0) return;
    CString text;
    GetResolutionString(fX, fY, text);
    std::wcsncpy(pszOut, text.GetString(), nOutChars);
}

void GetCurrentTimeStr(wchar_t* pszOut) {
    if (!pszOut) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    const LCID locale = GetUserDefaultLCID();
    std::wstring text = FormatPart(GetDateFormatW, locale, DATE_SHORTDATE, now) + L" " +
                        FormatPart(GetTimeFormatW, locale, TIME_NOSECONDS, now);
    if (text.size() > kTimeWorkUnits - 1) text.resize(kTimeWorkUnits - 1);
    std::copy(text.begin(), text.end(), pszOut);
    pszOut[text.size()] = L'\0';
}

void GetProgressMessageText(short nCode, CString& strOut) {
    strOut.LoadStringW(ProgressMessageId(nCode));
}
