// Dialog data exchange: the exchange object that carries the direction and the control last
// prepared, and the framework's exceptions.
#pragma once

#include "vantrel_platform/window.h"

// Base of the framework's exceptions.
class VPLATFORM_API CException {
  public:
    CException() = default;
    virtual ~CException();
};

// Thrown to abandon an operation after the user has been told why (CDataExchange::Fail).
class VPLATFORM_API CUserException : public CException {
  public:
    CUserException() = default;
    ~CUserException() override;
};

// Throws a CUserException (by value).
[[noreturn]] VPLATFORM_API void AfxThrowUserException();

class VPLATFORM_API CDataExchange {
  public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    // Nonzero: from the controls to the variables, with validation; zero: into the controls.
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;

    // The handle of control `nIDC` of the dialog (null when there is none), recorded as the
    // control that Fail returns to.
    HWND PrepareCtrl(int nIDC);
    // The same for an edit control: Fail also selects its whole text.
    HWND PrepareEditCtrl(int nIDC);
    // Puts the focus back on the recorded control (selecting the text of an edit control) when
    // validating, then abandons the exchange with AfxThrowUserException.
    [[noreturn]] void Fail();
};
