#include "app.h"

namespace vantrel {

CVantrelApp::CVantrelApp() : CWinApp(nullptr) {}

CVantrelApp::~CVantrelApp() = default;

BOOL CVantrelApp::InitInstance() {
    // The base result is ignored on purpose: loading must always succeed.
    (void)CWinApp::InitInstance();
    return TRUE;
}

BEGIN_MESSAGE_MAP(CVantrelApp, CWinApp)
END_MESSAGE_MAP()

namespace {

// Static initialisation runs in declaration order within this file: the module state, then
// the application object, then the entry that attaches them (the library's process attach)
// and detaches them again when the library is unloaded.
AFX_MODULE_STATE gModuleState(L"vantrel");
CVantrelApp gApp;

struct LibraryEntry {
    LibraryEntry() {
        RegisterLibraryStrings(gModuleState);
        AfxLibraryAttach(&gModuleState, &gApp);
    }
    ~LibraryEntry() { AfxLibraryDetach(&gModuleState, &gApp); }
};
LibraryEntry gEntry;

}  // namespace

AFX_MODULE_STATE* LibraryModuleState() {
    return &gModuleState;
}
CVantrelApp& TheApp() {
    return gApp;
}

}  // namespace vantrel
