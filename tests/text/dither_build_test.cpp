// The default dither-name array (internal): its header, entries and the splitting of lists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/app.h"
#include "text/dither_names.h"
#include "vantrel/frame.h"

namespace {

std::u16string Field(const char16_t (&field)[256]) {
    return std::u16string(field);
}

struct HostList {
    explicit HostList(const std::wstring& list) {
        AfxGetAppModuleState()->SetString(VANTREL_IDS_DITHER_NAMES, list.c_str());
    }
    ~HostList() { AfxGetAppModuleState()->RemoveString(VANTREL_IDS_DITHER_NAMES); }
};

DITHERINFOARRAY Build() {
    DITHERINFOARRAY array;
    std::memset(&array, 0xA5, sizeof array);
    vantrel::detail::BuildDefaultDitherInfoArray(&array);
    return array;
}

TEST(DefaultDitherArray, HeaderEntriesAndUntouchedRest) {
    ASSERT_NE(vantrel::LibraryModuleState()->FindString(VANTREL_IDS_DITHER_NAMES), nullptr);
    const DITHERINFOARRAY array = Build();
    EXPECT_EQ(array.nHeader0, 4);
    EXPECT_EQ(array.nHeader1, 100);
    EXPECT_EQ(array.nTotalSize, 32912);
    EXPECT_EQ(array.nCount, 6);
    struct Entry {
        int id;
        std::u16string local, key;
    };
    const Entry expected[] = {
        {0, u"KF Diffusion", u"KF_Diffusion"},         {1, u"Error Diffusion", u"Error_Diffusion"},
        {3, u"Random Diffusion", u"Random_Diffusion"}, {7, u"Vexaline", u"FM_Diffusion"},
        {5, u"LX Diffusion", u"LX_Diffusion"},         {6, u"Angled Screen", u"Angled_Screen"},
    };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(array.aEntries[i].nDitherID, expected[i].id) << i;
        EXPECT_EQ(Field(array.aEntries[i].szLocalName), expected[i].local) << i;
        EXPECT_EQ(Field(array.aEntries[i].szDitherString), expected[i].key) << i;
    }
    DITHERINFO garbage;
    std::memset(&garbage, 0xA5, sizeof garbage);
    for (int i = 6; i < 32; ++i)
        EXPECT_EQ(std::memcmp(&array.aEntries[i], &garbage, sizeof garbage), 0) << i;
}

struct ListCase {
    const char* what;
    std::wstring list;
    std::u16string names[8];  // local names of ids 0 to 7 (ids 2 and 4 are never stored)
};

TEST(DefaultDitherArray, SplitsAtTheListsLastCharacter) {
    const std::wstring long128(128, L'n');
    const ListCase cases[] = {
        {"semicolons, one empty name",
         L"a;b;c;;e;f;g;h;",
         {u"a", u"b", u"", u"", u"", u"f", u"g", u"h"}},
        {"empty list", L"", {}},
        {"short list", L"a,b,", {u"a", u"b"}},
        {"no trailing comma: the last name is the delimiter", L"x,y,z", {u"x,y,"}},
        {"names past the eighth are ignored",
         L"0.1.2.3.4.5.6.7.8.9.",
         {u"0", u"1", u"", u"3", u"", u"5", u"6", u"7"}},
        {"a name is cut to 127 units", long128 + L"|b|", {std::u16string(127, u'n'), u"b"}},
        // The list is cut to 255 units; the delimiter still comes from its end.
        {"a long list is cut",
         std::wstring(200, L'a') + L"/" + std::wstring(100, L'b') + L"/",
         {std::u16string(127, u'a'), std::u16string(54, u'b')}},
    };
    for (const ListCase& c : cases) {
        HostList host(c.list);
        const DITHERINFOARRAY array = Build();
        for (int i = 0; i < 6; ++i) {
            const DITHERINFO& e = array.aEntries[i];
            EXPECT_EQ(Field(e.szLocalName), c.names[e.nDitherID])
                << c.what << ", id " << e.nDitherID;
        }
    }
}

}  // namespace
