/// @file
/// Dialog support: range validation, percentage fields, combo-box menus, the progress bar.
///
/// Everything here runs on the thread that owns the dialog's windows. Failures are reported
/// to the user, not to the caller: a corrective message box, then the framework's exchange
/// failure (CDataExchange::Fail, which throws CUserException and so does not return).
#pragma once

#include "vantrel/export.h"
#include "vantrel_platform/controls.h"
#include "vantrel_platform/dialog_exchange.h"
#include "vantrel_platform/gdi.h"

// ---------------------------------------------------------------------------------------------
// Range validation

/// Corrective range check of control `nID` of dialog `pWnd` (not null) during `pDX`.
/// Into the controls it returns 1 and changes nothing. Out of them, a value with
/// nMin <= nValue <= nMax passes (1); any other value is clamped to the range (to nMax for
/// every value when nMin > nMax), written to `nValue` and, formatted with `pszFormat`
/// ("%d" when null), to the control; then the message "A number between %1 and %2 is
/// required. Closest value inserted" (string 28772, bounds as "%d") is shown in a message box
/// owned by the dialog and the exchange fails: the function does not return.
VANTREL_API int CustomValidate(CWnd* pWnd, CDataExchange* pDX, UINT nID, int& nValue, int nMin,
                               int nMax, const wchar_t* pszFormat = nullptr);
/// The unsigned form works on the 32-bit patterns read as signed numbers: it runs the signed
/// check on a signed copy of `nValue` with the bounds read as signed, and copies the result
/// back into `nValue` whether the check passed or failed. Values and bounds of 2147483648 or
/// more therefore compare and show in the message as negative numbers (a range whose upper
/// bound is that large lies below its lower bound, and every value is corrected to the upper
/// bound); the control text follows `pszFormat`, so "%u%%" shows it unsigned.
VANTREL_API int CustomValidate(CWnd* pWnd, CDataExchange* pDX, UINT nID, UINT& nValue, UINT nMin,
                               UINT nMax, const wchar_t* pszFormat = nullptr);
/// The float form: passes when fMin <= fValue <= fMax, so a NaN never passes (and stays NaN
/// after the clamp); the default control format is "%.2f" and the message shows the bounds
/// with two decimals.
VANTREL_API int CustomValidate(CWnd* pWnd, CDataExchange* pDX, UINT nID, float& fValue, float fMin,
                               float fMax, const wchar_t* pszFormat = nullptr);

// ---------------------------------------------------------------------------------------------
// Percentage fields: an edit control showing a number followed by a percent sign.

/// Exchange of a percentage with edit control `nIDC`. Into the control: the value formatted
/// with "%d%%". Out of it: the text (at most 31 code units are read) scanned with "%d%%"
/// after leading white space; whatever follows the number is ignored. An empty text or a
/// lone "-" gives 0. A text without a number shows the framework's prompt AFX_IDP_PARSE_INT
/// and fails the exchange, leaving `nValue` unchanged.
VANTREL_API void DDX_Percentage_Integer(CDataExchange* pDX, int nIDC, int& nValue);
/// The same with "%u%%" and the prompt AFX_IDP_PARSE_UINT.
VANTREL_API void DDX_Percentage_UINT(CDataExchange* pDX, int nIDC, UINT& nValue);
/// The same with "%.2f%%" into the control, "%f" out of it, and the prompt AFX_IDP_PARSE_REAL.
/// The display buffer holds any float (the widest, -FLT_MAX, needs 44 code units).
VANTREL_API void DDX_Percentage_float(CDataExchange* pDX, int nIDC, float& fValue);

/// Standard range validators of a percentage: DDV_MinMaxInt_OV, DDV_MinMaxUInt_OV and
/// DDV_MinMaxFloat_OV of the file-services library with the same arguments.
VANTREL_API void DDV_MinMax_Int_Percentage(CDataExchange* pDX, int nValue, int nMin, int nMax);
VANTREL_API void DDV_MinMax_UINT_Percentage(CDataExchange* pDX, UINT nValue, UINT nMin, UINT nMax);
VANTREL_API void DDV_MinMax_float_Percentage(CDataExchange* pDX, float fValue, float fMin,
                                             float fMax);

/// Corrective validators of a percentage: CustomValidate with the control format "%d%%",
/// "%u%%" or "%.2f%%"; they return its result.
VANTREL_API int CustomValidate_Int_Percentage(CWnd* pWnd, CDataExchange* pDX, UINT nID, int& nValue,
                                              int nMin, int nMax);
VANTREL_API int CustomValidate_UINT_Percentage(CWnd* pWnd, CDataExchange* pDX, UINT nID,
                                               UINT& nValue, UINT nMin, UINT nMax);
VANTREL_API int CustomValidate_float_Percentage(CWnd* pWnd, CDataExchange* pDX, UINT nID,
                                                float& fValue, float fMin, float fMax);

/// Sets the text of control `nID` of `pWnd` to the value formatted with "%d%%", "%u%%" or
/// "%.2f%%", whatever the direction of any exchange.
VANTREL_API void DrawString_Int_Percentage(CWnd* pWnd, UINT nID, int nValue);
VANTREL_API void DrawString_UINT_Percentage(CWnd* pWnd, UINT nID, UINT nValue);
VANTREL_API void DrawString_float_Percentage(CWnd* pWnd, UINT nID, float fValue);

// ---------------------------------------------------------------------------------------------
// Combo-box menus
//
// A menu string is a text whose last character is its delimiter; its items are the runs
// between delimiters, counted from 0 (two delimiters in a row make an empty item). An item
// keeps at most 127 code units: the rest of a longer item is dropped.

/// Fills `pCombo` with the items of string resource `nResourceID` of the host application
/// (looked up with the application's module state current). Of a resource text of 256 code
/// units or more, only the items that end within its first 255 code units are added. A
/// missing resource empties the combo box.
VANTREL_API void LoadMenuItem(unsigned int nResourceID, CComboBox* pCombo);
/// Empties `pCombo` and adds the items of `pszMenu` in order (sorted, if the combo box
/// sorts). An empty or null text leaves the combo box empty.
VANTREL_API void LoadMenuItem(wchar_t* pszMenu, CComboBox* pCombo);
/// Item `nIndex` of `pszMenu`, or "\\" (two backslashes) when there is no such item or the
/// text is empty or null.
VANTREL_API CString GetIthMenuItemDesc(const wchar_t* pszMenu, unsigned int nIndex);
/// Sets the combo box's minimum drop-down width, in pixels, to the widest item measured in
/// its font plus a vertical scroll bar and two window edges. Without a device context or a
/// font it changes nothing.
VANTREL_API void PostFillComboBox(CComboBox& combo);

// ---------------------------------------------------------------------------------------------
// Progress bar

/// A progress bar that paints itself: the part up to the position in the progress colour, the
/// rest in the background colour and, unless turned off, the percentage centred over the bar
/// in the text colour. It keeps its own 32-bit range, position and step and passes them on to
/// the platform control (which keeps 16 bits of each bound); every range, position and step
/// operation repaints the control. The object is constructed without a window; the host
/// attaches one (Attach, SubclassDlgItem or Create) before calling SetRange, SetPos, SetStep
/// or StepIt.
///
/// Painting: with the position outside the range, the whole client area takes the 3-D face
/// colour (GetSysColor(COLOR_BTNFACE)) and no text is drawn. Otherwise the filled width is
/// (pos - lower) / (upper - lower) of the client width in single precision, truncated, and
/// the text is pos * 100 / upper with no decimals followed by "%". Two ranges would divide
/// by zero, and paint as follows instead:
/// - equal bounds: the position can only equal both, so the bar is full (as at the upper
///   bound of any range);
/// - an upper bound of 0: the text shows the filled fraction, from 0% at the lower bound to
///   100% at 0.
/// Every pixel of the client area is painted in every case, and erasing the background does
/// nothing, so the control does not flicker.
class VANTREL_API CCustomProgressCtrl : public CProgressCtrl {
  public:
    /// Range 0 to 100, step 10, position 0, progress colour 0xFF0000 (blue), background the
    /// 3-D face colour read now, text colour 0xFFFFFF (white), percentage shown.
    CCustomProgressCtrl();
    ~CCustomProgressCtrl() override;

    /// Colours are COLORREF values, 0x00BBGGRR; they show at the next repaint.
    void SetProgressColor(COLORREF crProgress);
    void SetBkColor(COLORREF crBk);
    void SetTextColor(COLORREF crText);
    COLORREF GetProgressColor() const;
    COLORREF GetBkColor() const;
    COLORREF GetTextColor() const;
    /// Nonzero: the percentage is drawn at the next repaint.
    void ShowPercent(BOOL bShowPercent);

    /// Sets both bounds and moves the position to the lower bound.
    void SetRange(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    /// Each returns the platform control's previous position (SetPos, StepIt) or step.
    int SetPos(int nPos);
    int SetStep(int nStep);
    /// Adds the step to the position without wrapping round or stopping at the upper bound
    /// (the sum only saturates at the limits of int).
    int StepIt();

  protected:
    /// Fills rc from its left edge to left + nFillWidth with the progress colour and the rest
    /// up to its right edge with the background colour.
    void DrawProgressBar(CPaintDC* pDC, const RECT& rc, const int& nFillWidth);
    /// Returns 1 without erasing: OnPaint covers the whole client area.
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();

    int m_nLower;
    int m_nUpper;
    int m_nStep;
    int m_nPos;
    COLORREF m_crProgress;
    COLORREF m_crBk;
    COLORREF m_crText;
    BOOL m_bShowPercent;

    DECLARE_MESSAGE_MAP()
};
