// CWizardStates defaults and copying; the dialog palette's colours.
#include <gtest/gtest.h>

#include <cstring>

#include "vantrel/settings.h"

namespace {

CWizardStates Filled() {
    CWizardStates s;
    s.m_nState0 = -1, s.m_nState4 = 4, s.m_bState6 = 6, s.m_nState9 = 9, s.m_bState10 = 10;
    s.m_strState11 = L"eleven", s.m_strState13 = L"thirteen", s.m_bState16 = 16;
    for (int i = 0; i < 256; ++i) s.m_abState17[i] = static_cast<BYTE>(255 - i);
    s.m_nState18 = 18, s.m_fState19 = 0.5f, s.m_strState20 = L"twenty", s.m_nState21 = 21;
    s.m_strState22 = L"twenty-two", s.m_nState23 = 23, s.m_bState24 = 24;
    return s;
}

void ExpectSame(const CWizardStates& a, const CWizardStates& b) {
    EXPECT_EQ(a.m_nState0, b.m_nState0);
    EXPECT_EQ(a.m_nState4, b.m_nState4);
    EXPECT_EQ(a.m_nState5, b.m_nState5);
    EXPECT_EQ(a.m_bState6, b.m_bState6);
    EXPECT_EQ(a.m_nState9, b.m_nState9);
    EXPECT_EQ(a.m_bState10, b.m_bState10);
    EXPECT_EQ(a.m_strState11, b.m_strState11);
    EXPECT_EQ(a.m_strState12, b.m_strState12);
    EXPECT_EQ(a.m_strState13, b.m_strState13);
    EXPECT_EQ(a.m_bState16, b.m_bState16);
    EXPECT_EQ(std::memcmp(a.m_abState17, b.m_abState17, 256), 0);
    EXPECT_EQ(a.m_nState18, b.m_nState18);
    EXPECT_EQ(a.m_fState19, b.m_fState19);
    EXPECT_EQ(a.m_strState20, b.m_strState20);
    EXPECT_EQ(a.m_nState21, b.m_nState21);
    EXPECT_EQ(a.m_strState22, b.m_strState22);
    EXPECT_EQ(a.m_nState23, b.m_nState23);
    EXPECT_EQ(a.m_bState24, b.m_bState24);
}

TEST(WizardStates, Defaults) {
    CWizardStates s;
    EXPECT_EQ(s.m_nState5, 1);
    EXPECT_EQ(s.m_nState18, 99);
    EXPECT_EQ(s.m_fState19, 1.0f);
    EXPECT_TRUE(s.m_strState11.IsEmpty() && s.m_strState22.IsEmpty());
    const BYTE zeros[256] = {};
    EXPECT_EQ(std::memcmp(s.m_abState17, zeros, 256), 0);
    EXPECT_EQ(s.m_nState0 | s.m_nState9 | s.m_nState21 | s.m_nState23, 0);
    EXPECT_EQ(s.m_bState6 | s.m_bState10 | s.m_bState14 | s.m_bState16 | s.m_bState24, 0);
}

TEST(WizardStates, CopyAssignAndSelfAssign) {
    const CWizardStates source = Filled();
    CWizardStates copy(source);
    ExpectSame(copy, source);
    CWizardStates assigned;
    EXPECT_EQ(&(assigned = source), &assigned);
    ExpectSame(assigned, source);
    CWizardStates& alias = assigned;
    assigned = alias;
    ExpectSame(assigned, source);
}

TEST(DialogPalette, ColoursAreRedGreenBlueInTheLowBytes) {
    EXPECT_EQ(CDialogPalette::orange, 0x000043EFu);
    EXPECT_EQ(GetRValue(CDialogPalette::orange), 239);
    EXPECT_EQ(GetGValue(CDialogPalette::orange), 67);
    EXPECT_EQ(GetBValue(CDialogPalette::orange), 0);
    const COLORREF expected[] = {0x00505050, 0x00FF0000, 0x0000FF00, 0x000000FF, 0x00904FDC,
                                 0x00DBAD1A, 0x00588A00, 0x000043EF, 0x00A674E3, 0x00E4BE64,
                                 0x00191714, 0x0000E9FF, 0x007914D4, 0x00CB9F00};
    const COLORREF actual[] = {
        CDialogPalette::lblack,      CDialogPalette::additiveBlue, CDialogPalette::additiveGreen,
        CDialogPalette::additiveRed, CDialogPalette::mmagenta,     CDialogPalette::mcyan,
        CDialogPalette::green,       CDialogPalette::orange,       CDialogPalette::lmagenta,
        CDialogPalette::lcyan,       CDialogPalette::black,        CDialogPalette::yellow,
        CDialogPalette::magenta,     CDialogPalette::cyan};
    for (int i = 0; i < 14; ++i) EXPECT_EQ(actual[i], expected[i]) << i;
    CDialogPalette a, b;
    EXPECT_EQ(&(a = b), &a);
    EXPECT_EQ(&(a = CDialogPalette()), &a);
}

}  // namespace
