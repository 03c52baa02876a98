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
AFX_MODULE_STATE g_module_state(L"vantrel");
CVantrelApp g_app;

struct LibraryEntry {
    LibraryEntry() {
        RegisterLibraryStrings(g_module_state);
        AfxLibraryAttach(&g_module_state, &g_app);
    }
    ~LibraryEntry() { AfxLibraryDetach(&g_module_state, &g_app); }
};
LibraryEntry g_entry;

}  // namespace

AFX_MODULE_STATE* LibraryModuleState() {
    return &g_module_state;
}
CVantrelApp& TheApp() {
    return g_app;
}

}  // namespace vantrel
