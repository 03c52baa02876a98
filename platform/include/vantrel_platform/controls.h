// Controls: edit control, combo box and progress control, with their messages and the
// framework classes that wrap them.
//
// Built-in behaviour (DefWindowProc of each kind):
// - every window: WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH, WM_SETFONT, WM_GETFONT (null until
//   a font is set), WM_ERASEBKGND (fills the client area with the kind's background colour and
//   returns 1), WM_PAINT (BeginPaint, the kind's own drawing, EndPaint);
// - edit control: EM_SETSEL, EM_GETSEL; paints its text on the window colour;
// - combo box: its list of items, kept in insertion order or, with CBS_SORT, in order of their
//   code units (ties keep insertion order); CB_ADDSTRING, CB_DELETESTRING, CB_GETCOUNT,
//   CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_RESETCONTENT, CB_SETDROPPEDWIDTH, CB_GETDROPPEDWIDTH;
// - progress control: range (16-bit bounds from PBM_SETRANGE, 0 to 100 at first), position
//   (0, kept within the range), step (10); PBM_SETRANGE, PBM_SETPOS, PBM_DELTAPOS, PBM_SETSTEP
//   and PBM_STEPIT repaint the control at once through its message map (InvalidateRect with
//   erasing, then UpdateWindow). PBM_STEPIT starts over from the lower bound when the position
//   passes the upper bound (and from the upper when it passes the lower). Its own painting fills
//   the part of the client area up to the position with COLOR_HIGHLIGHT on a COLOR_BTNFACE
//   background.
#pragma once

#include "vantrel_platform/window.h"

// Edit control messages.
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;

// Combo box messages, results and styles.
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_GETDROPPEDWIDTH = 0x015F;
constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;
constexpr LRESULT CB_ERR = -1;
constexpr DWORD CBS_SORT = 0x0100;

// Progress control messages.
constexpr UINT PBM_SETRANGE = 0x0401;  // lParam: low word the lower bound, high word the upper
constexpr UINT PBM_SETPOS = 0x0402;    // wParam: the position; result: the previous position
constexpr UINT PBM_DELTAPOS = 0x0403;  // wParam: added to the position; result: the previous
constexpr UINT PBM_SETSTEP = 0x0404;   // wParam: the step; result: the previous step
constexpr UINT PBM_STEPIT = 0x0405;    // result: the previous position
constexpr UINT PBM_GETRANGE = 0x0407;  // result: the lower bound if wParam, else the upper
constexpr UINT PBM_GETPOS = 0x0408;

class VPLATFORM_API CEdit : public CWnd {
  public:
    CEdit() = default;
    ~CEdit() override;

    // Creates an edit control child of `pParent` with the size of `rect` and attaches it.
    BOOL Create(DWORD style, const RECT& rect, CWnd* pParent, UINT nID);
    void GetSel(int& start, int& end) const;
};

class VPLATFORM_API CComboBox : public CWnd {
  public:
    CComboBox() = default;
    ~CComboBox() override;

    BOOL Create(DWORD style, const RECT& rect, CWnd* pParent, UINT nID);

    int GetCount() const;
    // Appends the item, or inserts it in order with CBS_SORT; returns its index.
    int AddString(LPCWSTR text);
    // Removes item `index`; returns the number of items left, or CB_ERR.
    int DeleteString(UINT index);
    int GetLBTextLen(int index) const;
    // Copies item `index` into `buffer` (which must hold GetLBTextLen + 1 code units).
    int GetLBText(int index, LPWSTR buffer) const;
    // Item `index`, or an empty string when there is no such item.
    void GetLBText(int index, CString& text) const;
    // Sets the minimum width of the drop-down list in pixels; returns it, or CB_ERR when
    // negative. The list itself is never narrower than the combo box.
    int SetDroppedWidth(UINT width);
    // The minimum width last set (0 at first).
    int GetDroppedWidth() const;
};

class VPLATFORM_API CProgressCtrl : public CWnd {
  public:
    CProgressCtrl() = default;
    ~CProgressCtrl() override;

    BOOL Create(DWORD style, const RECT& rect, CWnd* pParent, UINT nID);

    void SetRange(short lower, short upper);
    void GetRange(int& lower, int& upper) const;
    int SetPos(int pos);
    int SetStep(int step);
    int StepIt();

  protected:
    DECLARE_MESSAGE_MAP()
};
