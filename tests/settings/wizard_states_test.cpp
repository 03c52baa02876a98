// CWizardStates defaults and copying; the dialog palette.
#include <gtest/gtest.h>

#include <cstring>

#include "vantrel/settings.h"

namespace {

TEST(WizardStates, Defaults) {
    CWizardStates s;
    EXPECT_EQ(s.m_nState5, 1);
    EXPECT_EQ(s.m_nState18, 99);
    EXPECT_EQ(s.m_fState19, 1.0f);
    EXPECT_TRUE(s.m_strState11.IsEmpty() && s.m_strState22.IsEmpty());
    const BYTE zeros[256] = {};
    EXPECT_EQ(std::memcmp(s.m_abState17, zeros, 256), 0);
    EXPECT_EQ(s.m_nState0 | s.m_nState4 | s.m_nState9 | s.m_nState21 | s.m_nState23, 0);
    EXPECT_EQ(s.m_bState6 | s.m_bState10 | s.m_bState14 | s.m_bState16 | s.m_bState24, 0);
}

TEST(WizardStates, CopyAssignAndSelfAssign) {
    CWizardStates source;
    source.m_nState0 = -1, source.m_bState6 = 6, source.m_nState23 = 23, source.m_bState24 = 24;
    source.m_strState11 = L"eleven", source.m_strState20 = L"twenty";
    source.m_strState22 = L"twenty-two", source.m_fState19 = 0.5f;
    for (int i = 0; i < 256; ++i) source.m_abState17[i] = static_cast<BYTE>(255 - i);
    auto expectSame = [&source](const CWizardStates& s, const char* how) {
        EXPECT_EQ(s.m_nState0, -1) << how;
        EXPECT_EQ(s.m_bState6, 6) << how;
        EXPECT_EQ(s.m_nState23, 23) << how;
        EXPECT_EQ(s.m_bState24, 24) << how;
        EXPECT_EQ(s.m_fState19, 0.5f) << how;
        EXPECT_EQ(s.m_strState11, L"eleven") << how;
        EXPECT_EQ(s.m_strState20, L"twenty") << how;
        EXPECT_EQ(s.m_strState22, L"twenty-two") << how;
        EXPECT_EQ(std::memcmp(s.m_abState17, source.m_abState17, 256), 0) << how;
    };
    CWizardStates copy(source);
    expectSame(copy, "copied");
    CWizardStates assigned;
    EXPECT_EQ(&(assigned = source), &assigned);
    expectSame(assigned, "assigned");
    CWizardStates& alias = assigned;
    assigned = alias;
    expectSame(assigned, "assigned to itself");
}

TEST(DialogPalette, ColoursHoldRedInTheLowByte) {
    EXPECT_EQ(GetRValue(CDialogPalette::orange), 239);
    EXPECT_EQ(GetGValue(CDialogPalette::orange), 67);
    EXPECT_EQ(GetBValue(CDialogPalette::orange), 0);
    EXPECT_EQ(CDialogPalette::additiveBlue, 0x00FF0000u);
    EXPECT_EQ(CDialogPalette::black, 0x00191714u);
    CDialogPalette a, b;
    EXPECT_EQ(&(a = b), &a);
    EXPECT_EQ(&(a = CDialogPalette()), &a);
}

}  // namespace
