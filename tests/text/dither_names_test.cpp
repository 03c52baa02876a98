// Dither method names through the exported lookups: the default array from the library's
// list or a host's, caller-supplied arrays, capacities.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "vantrel/frame.h"
#include "vantrel/text.h"
#include "vantrel_platform/afx.h"

namespace {

using Lookup = void (*)(const DITHERINFOARRAY*, int, wchar_t*, int);

void DitherString(const DITHERINFOARRAY* array, int id, wchar_t* out, int capacity) {
    GetDitherString(array, id, out, capacity);
}

std::wstring Call(Lookup lookup, const DITHERINFOARRAY* array, int id, int capacity = 64) {
    wchar_t out[64];
    std::fill_n(out, 64, L'#');
    lookup(array, id, out, capacity);
    return out;
}

void SetField(char16_t (&field)[256], const std::u16string& text) {
    std::memset(field, 0, sizeof field);
    std::copy(text.begin(), text.end(), field);
}

// An array of (id, local name, key) entries; unused entries are filled with garbage.
DITHERINFOARRAY MakeArray(
    std::initializer_list<std::tuple<int, std::u16string, std::u16string>> rows) {
    DITHERINFOARRAY array;
    std::memset(&array, 0x5A, sizeof array);
    array.nCount = static_cast<std::int32_t>(rows.size());
    int i = 0;
    for (const auto& [id, local, key] : rows) {
        array.aEntries[i].nDitherID = id;
        SetField(array.aEntries[i].szLocalName, local);
        SetField(array.aEntries[i].szDitherString, key);
        ++i;
    }
    return array;
}

// Registers a dither-name list in the host's string table for the lifetime of the object.
struct HostList {
    explicit HostList(const wchar_t* list) {
        AfxGetAppModuleState()->SetString(VANTREL_IDS_DITHER_NAMES, list);
    }
    ~HostList() { AfxGetAppModuleState()->RemoveString(VANTREL_IDS_DITHER_NAMES); }
};

struct IdCase {
    int id;
    const wchar_t* local;    // from the default array
    const wchar_t* english;  // from the built-in table, else the local name
};

TEST(DitherNames, DefaultArrayFromTheLibrarysList) {
    const IdCase cases[] = {
        {0, L"KF Diffusion", L"KF Diffusion"},
        {1, L"Error Diffusion", L"Error Diffusion"},
        {2, L"", L"QC Diffusion"},  // English name only
        {3, L"Random Diffusion", L"Random Diffusion"},
        {4, L"", L"FS Diffusion"},
        {5, L"LX Diffusion", L"LX Diffusion"},
        {6, L"Angled Screen", L"Angled Screen"},
        {7, L"Vexaline", L"Vexaline"},
        {8, L"", L""},
        {-1, L"", L""},
    };
    for (const IdCase& c : cases) {
        EXPECT_EQ(Call(GetLocalDitherStrByDitherID, nullptr, c.id), c.local) << c.id;
        EXPECT_EQ(Call(GetEnglishDitherStrByDitherID, nullptr, c.id), c.english) << c.id;
    }
}

TEST(DitherNames, EnglishNamesIgnoreTheArrayOtherIdsFallThroughToIt) {
    const DITHERINFOARRAY array = MakeArray({{2, u"Nicht QC", u"QC_KEY"}, {9, u"Neun", u"K9"}});
    EXPECT_EQ(Call(GetEnglishDitherStrByDitherID, &array, 2), L"QC Diffusion");
    EXPECT_EQ(Call(GetEnglishDitherStrByDitherID, &array, 9), L"Neun");
    EXPECT_EQ(Call(GetLocalDitherStrByDitherID, &array, 2), L"Nicht QC");
    EXPECT_EQ(Call(DitherString, &array, 9), L"K9");
}

TEST(DitherNames, CountAndOrderOfEntries) {
    DITHERINFOARRAY array = MakeArray({{3, u"first", u"KEY_A"}, {3, u"second", u"KEY_B"}});
    EXPECT_EQ(Call(GetLocalDitherStrByDitherID, &array, 3), L"first");
    EXPECT_EQ(Call(DitherString, &array, 3), L"KEY_A");
    for (std::int32_t count : {0, -1, -2147483647 - 1}) {
        array.nCount = count;
        EXPECT_EQ(Call(GetLocalDitherStrByDitherID, &array, 3), L"") << count;
        EXPECT_EQ(Call(GetEnglishDitherStrByDitherID, &array, 3), L"Random Diffusion") << count;
        EXPECT_EQ(Call(DitherString, &array, 3), L"") << count;
    }
    array = MakeArray({{1, u"one", u"ONE"}, {4, u"four", u"FOUR"}});
    array.nCount = 1;  // the second entry is not in use
    EXPECT_EQ(Call(DitherString, &array, 4), L"");
}

TEST(DitherNames, CapacityCutsTheTextAndZeroOrLessWritesNothing) {
    const DITHERINFOARRAY array = MakeArray({{0, u"KF Diffusion", u"KF_Diffusion"}});
    struct Case {
        Lookup lookup;
        const DITHERINFOARRAY* array;
        const wchar_t* cut5;
    };
    for (const Case& c : {Case{GetLocalDitherStrByDitherID, nullptr, L"KF D"},
                          Case{GetEnglishDitherStrByDitherID, nullptr, L"KF D"},
                          Case{DitherString, &array, L"KF_D"}}) {
        EXPECT_EQ(Call(c.lookup, c.array, 0, 5), c.cut5);
        EXPECT_EQ(Call(c.lookup, c.array, 0, 1), L"");
        for (int capacity : {0, -1}) {
            wchar_t out[4] = {L'#', L'#', L'#', 0};
            c.lookup(c.array, 0, out, capacity);
            EXPECT_EQ(std::wstring(out), L"###") << capacity;
        }
        c.lookup(c.array, 0, nullptr, 64);  // a null buffer is left alone
    }
}

TEST(DitherNames, LocalAndKeyClearTheWholeBufferEnglishOnlyTerminates) {
    const DITHERINFOARRAY array = MakeArray({{0, u"KF", u"KF_K"}});
    wchar_t out[8];
    std::fill_n(out, 8, L'#');
    GetLocalDitherStrByDitherID(&array, 0, out, 8);
    EXPECT_EQ(std::wstring(out, 8), std::wstring(L"KF\0\0\0\0\0\0", 8));
    std::fill_n(out, 8, L'#');
    GetDitherString(&array, 0, out, 8);
    EXPECT_EQ(std::wstring(out, 8), std::wstring(L"KF_K\0\0\0\0", 8));
    std::fill_n(out, 8, L'#');
    GetEnglishDitherStrByDitherID(&array, 7, out, 8);
    EXPECT_EQ(std::wstring(out), L"Vexalin");
    EXPECT_EQ(out[7], L'\0');
}

TEST(DitherNames, NullArrayGivesNoKey) {
    EXPECT_EQ(Call(DitherString, nullptr, 0), L"");
}

TEST(DitherNames, HostListWinsWhateverItsDelimiter) {
    HostList host(L"KF;Fehler;;Zufall;FS;LX;Winkel;Vexa Linie;");
    EXPECT_EQ(Call(GetLocalDitherStrByDitherID, nullptr, 1), L"Fehler");
    EXPECT_EQ(Call(GetLocalDitherStrByDitherID, nullptr, 3), L"Zufall");
    EXPECT_EQ(Call(GetLocalDitherStrByDitherID, nullptr, 7), L"Vexa Linie");
    EXPECT_EQ(Call(GetEnglishDitherStrByDitherID, nullptr, 7), L"Vexaline");
}

TEST(DitherNames, ListOfTheCurrentModuleState) {
    AFX_MODULE_STATE plugin(L"plug-in");
    plugin.SetString(VANTREL_IDS_DITHER_NAMES, L"a|b|c|d|e|f|g|\U0001F600h|");
    AFX_MAINTAIN_STATE2 switched(&plugin);
    EXPECT_EQ(Call(GetLocalDitherStrByDitherID, nullptr, 6), L"g");
    // A character beyond U+FFFF is stored as a surrogate pair and comes back whole.
    EXPECT_EQ(Call(GetLocalDitherStrByDitherID, nullptr, 7), L"\U0001F600h");
    EXPECT_EQ(Call(GetLocalDitherStrByDitherID, nullptr, 7, 2), L"\U0001F600");
}

}  // namespace
