// CWizardStates defaults; the dialog palette.
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

TEST(DialogPalette, ColoursHoldRedInTheLowByte) {
    EXPECT_EQ(GetRValue(CDialogPalette::orange), 239);
    EXPECT_EQ(GetGValue(CDialogPalette::orange), 67);
    EXPECT_EQ(GetBValue(CDialogPalette::orange), 0);
    EXPECT_EQ(CDialogPalette::additiveBlue, 0x00FF0000u);
    EXPECT_EQ(CDialogPalette::black, 0x00191714u);
}

}  // namespace
