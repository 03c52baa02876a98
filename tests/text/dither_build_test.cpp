// The default dither-name array (internal): its header, entries and the splitting of lists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/app.h"
#include "text/dither_names.h"
#include "vantrel/frame.h"

namespace {

DITHERINFOARRAY Build(const wchar_t* hostList) {
    if (hostList) AfxGetAppModuleState()->SetString(VANTREL_IDS_DITHER_NAMES, hostList);
    DITHERINFOARRAY array;
    std::memset(&array, 0xA5, sizeof array);
    vantrel::detail::BuildDefaultDitherInfoArray(&array);
    AfxGetAppModuleState()->RemoveString(VANTREL_IDS_DITHER_NAMES);
    return array;
}

TEST(DefaultDitherArray, HeaderEntriesAndUntouchedRest) {
    ASSERT_NE(vantrel::LibraryModuleState()->FindString(VANTREL_IDS_DITHER_NAMES), nullptr);
    const DITHERINFOARRAY array = Build(nullptr);
    EXPECT_EQ(array.nHeader0, 4);
    EXPECT_EQ(array.nHeader1, 100);
    EXPECT_EQ(array.nTotalSize, 32912);
    EXPECT_EQ(array.nCount, 6);
    const struct {
        int id;
        std::u16string local, key;
    } expected[] = {
        {0, u"KF Diffusion", u"KF_Diffusion"},         {1, u"Error Diffusion", u"Error_Diffusion"},
        {3, u"Random Diffusion", u"Random_Diffusion"}, {7, u"Vexaline", u"FM_Diffusion"},
        {5, u"LX Diffusion", u"LX_Diffusion"},         {6, u"Angled Screen", u"Angled_Screen"},
    };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(array.aEntries[i].nDitherID, expected[i].id) << i;
        EXPECT_EQ(std::u16string(array.aEntries[i].szLocalName), expected[i].local) << i;
        EXPECT_EQ(std::u16string(array.aEntries[i].szDitherString), expected[i].key) << i;
    }
    std::string garbage(sizeof(DITHERINFO) * 26, '\xA5');
    EXPECT_EQ(std::memcmp(&array.aEntries[6], garbage.data(), garbage.size()), 0);
}

TEST(DefaultDitherArray, SplitsAtTheListsLastCharacterWithinTheWorkBuffers) {
    const std::wstring longList = std::wstring(200, L'a') + L"/" + std::wstring(100, L'b') + L"/";
    const struct {
        const char* what;
        std::wstring list;
        std::u16string names[8];  // of ids 0 to 7 (2 and 4 are never stored)
    } cases[] = {
        {"empty list", L"", {}},
        {"short list", L"a,b,", {u"a", u"b"}},
        {"no trailing comma: 'z' delimits", L"x,y,z", {u"x,y,"}},
        {"past the eighth name",
         L"0.1.2.3.4.5.6.7.8.",
         {u"0", u"1", u"", u"3", u"", u"5", u"6", u"7"}},
        {"names keep 127 units",
         std::wstring(128, L'n') + L"|b|",
         {std::u16string(127, u'n'), u"b"}},
        {"lists keep 255 units", longList, {std::u16string(127, u'a'), std::u16string(54, u'b')}},
    };
    for (const auto& c : cases) {
        const DITHERINFOARRAY array = Build(c.list.c_str());
        for (int i = 0; i < 6; ++i) {
            const DITHERINFO& e = array.aEntries[i];
            EXPECT_EQ(std::u16string(e.szLocalName), c.names[e.nDitherID])
                << c.what << ", id " << e.nDitherID;
        }
    }
}

}  // namespace
