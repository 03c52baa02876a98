// Dither method names through the exported lookups: the default array from the library's
// list or the current module's, caller-supplied arrays, capacities.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <tuple>

#include "vantrel/frame.h"
#include "vantrel/text.h"
#include "vantrel_platform/afx.h"

namespace {

using Lookup = void (*)(const DITHERINFOARRAY*, int, wchar_t*, int);
const wchar_t* const kEnglishNames[] = {L"KF Diffusion",     L"Error Diffusion", L"QC Diffusion",
                                        L"Random Diffusion", L"FS Diffusion",    L"LX Diffusion",
                                        L"Angled Screen",    L"Vexaline"};
constexpr Lookup kLocal = GetLocalDitherStrByDitherID, kEnglish = GetEnglishDitherStrByDitherID,
                 kKey = GetDitherString;

// The text left in a buffer of 160 units, filled with '#' beforehand and terminated after them.
std::wstring Call(Lookup lookup, const DITHERINFOARRAY* array, int id, int capacity = 160) {
    wchar_t out[161];
    std::fill_n(out, 160, L'#');
    out[160] = L'\0';
    lookup(array, id, out, capacity);
    return out;
}

// An array of (id, local name, key) rows; the entries not in use hold garbage.
DITHERINFOARRAY MakeArray(
    std::initializer_list<std::tuple<int, std::u16string, std::u16string>> rows) {
    DITHERINFOARRAY array;
    std::memset(&array, 0x5A, sizeof array);
    array.nCount = static_cast<std::int32_t>(rows.size());
    DITHERINFO* entry = array.aEntries;
    for (const auto& [id, local, key] : rows) {
        std::memset(entry, 0, sizeof *entry);
        entry->nDitherID = id;
        std::copy(local.begin(), local.end(), entry->szLocalName);
        std::copy(key.begin(), key.end(), (entry++)->szDitherString);
    }
    return array;
}

TEST(DitherNames, CallersArrayCountAndOrder) {
    DITHERINFOARRAY array =
        MakeArray({{2, u"Nicht QC", u"QC_KEY"}, {9, u"Neun", u"K9"}, {9, u"x", u"y"}});
    EXPECT_EQ(Call(kEnglish, &array, 2), L"QC Diffusion");
    EXPECT_EQ(Call(kEnglish, &array, 9), L"Neun");  // lower index wins
    EXPECT_EQ(Call(kKey, &array, 9), L"K9");
    EXPECT_EQ(Call(kKey, nullptr, 0), L"");  // no default array for keys
    array.nCount = 1;
    EXPECT_EQ(Call(kKey, &array, 9), L"");
    for (std::int32_t count : {0, -1}) {
        array.nCount = count;
        EXPECT_EQ(Call(kLocal, &array, 2), L"") << count;
        EXPECT_EQ(Call(kKey, &array, 2), L"") << count;
    }
}

TEST(DitherNames, CapacityCutsTheTextAndZeroOrLessWritesNothing) {
    const DITHERINFOARRAY array = MakeArray({{0, u"KF Diffusion", u"KF_Diffusion"}});
    const struct {
        Lookup lookup;
        const DITHERINFOARRAY* array;
        const wchar_t* cut5;
    } cases[] = {{kLocal, nullptr, L"KF D"}, {kEnglish, nullptr, L"KF D"}, {kKey, &array, L"KF_D"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Call(c.lookup, c.array, 0, 5), c.cut5);
        EXPECT_EQ(Call(c.lookup, c.array, 0, 1), L"");
        EXPECT_EQ(Call(c.lookup, c.array, 0, 0).substr(0, 3), L"###");
        EXPECT_EQ(Call(c.lookup, c.array, 0, -1).substr(0, 3), L"###");
    }
    // The local name and the key clear the whole buffer; the English name only terminates it.
    for (const auto& [lookup, text] :
         {std::pair{kKey, L"KF_Diff"}, std::pair{kLocal, L"KF Diff"}}) {
        wchar_t out[8];
        std::fill_n(out, 8, L'#');
        lookup(&array, 0, out, 8);
        EXPECT_EQ(std::wstring(out, 8), std::wstring(text) + L'\0');
    }
}

// The default array takes its local names from the current module state's list (else the
// library's), split at the list's last character, within work buffers of 255 units for the list
// and 127 for a name. The English names of ids 0 to 7 never change; other ids have no names.
TEST(DitherNames, ListOfTheCurrentModuleStateWinsWhateverItsDelimiter) {
    const std::wstring longList = std::wstring(200, L'a') + L"/" + std::wstring(100, L'b') + L"/";
    const struct {
        const char* what;
        std::optional<std::wstring> list;  // none: the library's
        std::wstring names[8];             // of ids 0 to 7 (2 and 4 are never stored)
    } cases[] = {
        {"library's list",
         std::nullopt,
         {L"KF Diffusion", L"Error Diffusion", L"", L"Random Diffusion", L"", L"LX Diffusion",
          L"Angled Screen", L"Vexaline"}},
        {"empty list", L"", {}},
        {"short list", L"a,b,", {L"a", L"b"}},
        {"no trailing comma: 'z' delimits", L"x,y,z", {L"x,y,"}},
        {"past the eighth name",
         L"0.1.2.3.4.5.6.7.8.",
         {L"0", L"1", L"", L"3", L"", L"5", L"6", L"7"}},
        {"names keep 127 units", std::wstring(128, L'n') + L"|b|", {std::wstring(127, L'n'), L"b"}},
        {"lists keep 255 units", longList, {std::wstring(127, L'a'), std::wstring(54, L'b')}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.list) AfxGetAppModuleState()->SetString(VANTREL_IDS_DITHER_NAMES, c.list->c_str());
        for (int id = -1; id <= 8; ++id) {
            const bool named = id >= 0 && id < 8;
            EXPECT_EQ(Call(kLocal, nullptr, id), named ? c.names[id] : L"") << id;
            EXPECT_EQ(Call(kEnglish, nullptr, id), named ? kEnglishNames[id] : L"") << id;
        }
        AfxGetAppModuleState()->RemoveString(VANTREL_IDS_DITHER_NAMES);
    }

    AFX_MODULE_STATE plugin(L"plug-in");
    plugin.SetString(VANTREL_IDS_DITHER_NAMES, L"a|b|c|d|e|f|g|\U0001F600h|");
    AFX_MAINTAIN_STATE2 switched(&plugin);
    // Beyond U+FFFF: a surrogate pair in the array, one character again on the way out.
    EXPECT_EQ(Call(kLocal, nullptr, 7), L"\U0001F600h");
    // Room for that character alone: one unit, or where wide text is UTF-16 (Windows) two,
    // and then one unit is no room (a pair is never split).
    const int units = static_cast<int>(std::wstring(L"\U0001F600").size());
    EXPECT_EQ(Call(kLocal, nullptr, 7, units + 1), L"\U0001F600");
    if (units == 2) {
        EXPECT_EQ(Call(kLocal, nullptr, 7, 2), L"");
    }
}

}  // namespace
