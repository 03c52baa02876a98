// The default dither-name array (internal): its header, entries and the rest left alone. The
// splitting of the name list is in dither_names_test, through the exported lookups.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/app.h"
#include "text/dither_names.h"
#include "vantrel/frame.h"

namespace {

TEST(DefaultDitherArray, HeaderEntriesAndUntouchedRest) {
    ASSERT_NE(vantrel::LibraryModuleState()->FindString(VANTREL_IDS_DITHER_NAMES), nullptr);
    DITHERINFOARRAY array;
    std::memset(&array, 0xA5, sizeof array);
    vantrel::detail::BuildDefaultDitherInfoArray(&array);
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

}  // namespace
