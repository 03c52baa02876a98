// The library's application object and module state (internal).
#pragma once

#include "vantrel_platform/afx.h"

namespace vantrel {

// The application object of the library. It has no data of its own; initialisation always
// succeeds, so loading the library never fails on its account.
class CVantrelApp : public CWinApp {
  public:
    CVantrelApp();
    ~CVantrelApp() override;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

// The library's own module state, which holds its string table.
AFX_MODULE_STATE* LibraryModuleState();
// The one application object.
CVantrelApp& TheApp();
// Fills the library's string table (called once, at load).
void RegisterLibraryStrings(AFX_MODULE_STATE& state);

}  // namespace vantrel

using vantrel::CVantrelApp;
