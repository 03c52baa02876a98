// CDialogPalette: the colours of ink channels and additive primaries in dialogs.
#include "vantrel/settings.h"

COLORREF CDialogPalette::lblack = RGB(80, 80, 80);
COLORREF CDialogPalette::additiveBlue = RGB(0, 0, 255);
COLORREF CDialogPalette::additiveGreen = RGB(0, 255, 0);
COLORREF CDialogPalette::additiveRed = RGB(255, 0, 0);
COLORREF CDialogPalette::mmagenta = RGB(220, 79, 144);
COLORREF CDialogPalette::mcyan = RGB(26, 173, 219);
COLORREF CDialogPalette::green = RGB(0, 138, 88);
COLORREF CDialogPalette::orange = RGB(239, 67, 0);
COLORREF CDialogPalette::lmagenta = RGB(227, 116, 166);
COLORREF CDialogPalette::lcyan = RGB(100, 190, 228);
COLORREF CDialogPalette::black = RGB(20, 23, 25);
COLORREF CDialogPalette::yellow = RGB(255, 233, 0);
COLORREF CDialogPalette::magenta = RGB(212, 20, 121);
COLORREF CDialogPalette::cyan = RGB(0, 159, 203);

CDialogPalette& CDialogPalette::operator=(const CDialogPalette&) {
    return *this;
}

CDialogPalette& CDialogPalette::operator=(CDialogPalette&&) {
    return *this;
}
