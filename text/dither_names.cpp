// Dither method names: local names and keys from a DITHERINFOARRAY, English display names from
// a built-in table, and the default array built from the library's dither-name list.
#include "dither_names.h"

#include <algorithm>
#include <string>

#include "frame/string_ids.h"

namespace {

constexpr int kFieldUnits = 256;  // szLocalName, szDitherString

struct EnglishName {
    std::int32_t id;
    const wchar_t* name;
};

constexpr EnglishName kEnglishNames[] = {
    {0, L"KF Diffusion"}, {1, L"Error Diffusion"}, {2, L"QC Diffusion"},  {3, L"Random Diffusion"},
    {4, L"FS Diffusion"}, {5, L"LX Diffusion"},    {6, L"Angled Screen"}, {7, L"Vexaline"},
};

// The default array: entry i describes id kDefaultIds[i] and carries key kDefaultKeys[i]. The
// key goes by entry position, the local name by id, so id 7 ("Vexaline") is paired with
// "FM_Diffusion".
constexpr std::int32_t kDefaultIds[] = {0, 1, 3, 7, 5, 6};
constexpr const char* kDefaultKeys[] = {"KF_Diffusion", "Error_Diffusion", "Random_Diffusion",
                                        "FM_Diffusion", "LX_Diffusion",    "Angled_Screen"};
constexpr int kDefaultEntries = 6;

// Work buffers of the list: 256 units for the whole list, 128 per name, 8 names.
constexpr size_t kMaxListUnits = 255;
constexpr size_t kMaxNameUnits = 127;
constexpr int kNameSlots = 8;

constexpr std::int32_t kDefaultHeader0 = 4;
constexpr std::int32_t kDefaultHeader1 = 100;
constexpr std::int32_t kDefaultTotalSize = 32912;

// Writes `text` into a zero-terminated char16_t field of kFieldUnits units, as UTF-16.
void StoreField(char16_t (&field)[kFieldUnits], const std::wstring& text) {
    int at = 0;
    for (wchar_t ch : text) {
        const auto code = static_cast<std::uint32_t>(ch);
        const int units = code > 0xFFFF && code <= 0x10FFFF ? 2 : 1;
        if (at + units > kFieldUnits - 1) break;
        if (units == 2) {
            field[at++] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            field[at++] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            field[at++] = static_cast<char16_t>(code);
        }
    }
    field[at] = u'\0';
}

// Copies a char16_t field (read no further than its end, terminated or not) into `out`, at
// most `capacity - 1` wchar_t units, and terminates the copy. A surrogate pair becomes one
// wchar_t where wchar_t has 32 bits; where it has 16 (Windows) the pair stays two units, and
// a pair that does not fit whole ends the copy before it.
void CopyField(const char16_t (&field)[kFieldUnits], wchar_t* out, int capacity) {
    int written = 0;
    for (int i = 0; i < kFieldUnits && field[i] != u'\0' && written < capacity - 1; ++i) {
        std::uint32_t code = field[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < kFieldUnits && field[i + 1] >= 0xDC00 &&
            field[i + 1] <= 0xDFFF) {
            if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
                if (written + 2 > capacity - 1) break;
                out[written++] = static_cast<wchar_t>(field[i++]);
                code = field[i];
            } else {
                code = 0x10000 + ((code - 0xD800) << 10) + (field[i + 1] - 0xDC00u);
                ++i;
            }
        }
        out[written++] = static_cast<wchar_t>(code);
    }
    out[written] = L'\0';
}

const DITHERINFO* FindEntry(const DITHERINFOARRAY& array, int nDitherID) {
    const int count = std::min(array.nCount, static_cast<std::int32_t>(std::size(array.aEntries)));
    for (int i = 0; i < count; ++i)
        if (array.aEntries[i].nDitherID == nDitherID) return &array.aEntries[i];
    return nullptr;
}

bool CanWrite(const wchar_t* pszOut, std::int64_t nOutChars) {
    return pszOut && nOutChars > 0;
}

}  // namespace

namespace vantrel::detail {

void BuildDefaultDitherInfoArray(DITHERINFOARRAY* pArray) {
    CString loaded;
    loaded.LoadString(VANTREL_IDS_DITHER_NAMES);
    std::wstring list = loaded.str();

    std::wstring names[kNameSlots];
    if (!list.empty()) {
        // The delimiter is the list's own last character, taken before the list is cut to
        // its work buffer so that a long list still splits at its delimiter.
        const wchar_t delimiter = list.back();
        if (list.size() > kMaxListUnits) list.resize(kMaxListUnits);
        size_t position = 0;
        for (int slot = 0; slot < kNameSlots && position < list.size(); ++slot) {
            size_t end = list.find(delimiter, position);
            if (end == std::wstring::npos) end = list.size();
            names[slot] = list.substr(position, std::min(end - position, kMaxNameUnits));
            position = end + 1;
        }
    }

    pArray->nHeader0 = kDefaultHeader0;
    pArray->nHeader1 = kDefaultHeader1;
    pArray->nTotalSize = kDefaultTotalSize;
    pArray->nCount = kDefaultEntries;
    for (int i = 0; i < kDefaultEntries; ++i) {
        DITHERINFO& entry = pArray->aEntries[i];
        entry.nDitherID = kDefaultIds[i];
        StoreField(entry.szLocalName, names[kDefaultIds[i]]);
        const char* key = kDefaultKeys[i];
        StoreField(entry.szDitherString,
                   std::wstring(key, key + std::char_traits<char>::length(key)));
    }
}

}  // namespace vantrel::detail

void GetLocalDitherStrByDitherID(const DITHERINFOARRAY* pArray, int nDitherID, wchar_t* pszOut,
                                 int nOutChars) {
    if (!CanWrite(pszOut, nOutChars)) return;
    std::fill_n(pszOut, nOutChars, L'\0');
    DITHERINFOARRAY defaults;  // a temporary of this call, on the stack
    if (!pArray) {
        vantrel::detail::BuildDefaultDitherInfoArray(&defaults);
        pArray = &defaults;
    }
    if (const DITHERINFO* entry = FindEntry(*pArray, nDitherID))
        CopyField(entry->szLocalName, pszOut, nOutChars);
}

void GetEnglishDitherStrByDitherID(const DITHERINFOARRAY* pArray, int nDitherID, wchar_t* pszOut,
                                   int nOutChars) {
    if (!CanWrite(pszOut, nOutChars)) return;
    for (const EnglishName& row : kEnglishNames) {
        if (row.id != nDitherID) continue;
        const size_t length = std::char_traits<wchar_t>::length(row.name);
        const size_t copied = std::min(length + 1, static_cast<size_t>(nOutChars) - 1);
        std::copy_n(row.name, copied, pszOut);
        pszOut[nOutChars - 1] = L'\0';
        return;
    }
    GetLocalDitherStrByDitherID(pArray, nDitherID, pszOut, nOutChars);
}

void GetDitherString(const DITHERINFOARRAY* pArray, int nDitherID, wchar_t* pszOut,
                     std::int32_t nOutChars) {
    if (!CanWrite(pszOut, nOutChars)) return;
    std::fill_n(pszOut, nOutChars, L'\0');
    if (!pArray) return;
    if (const DITHERINFO* entry = FindEntry(*pArray, nDitherID))
        CopyField(entry->szDitherString, pszOut, nOutChars);
}
