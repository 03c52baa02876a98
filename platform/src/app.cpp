#include "vantrel_platform/afx.h"

CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY kEntries[] = {{0, nullptr}};
    static const AFX_MSGMAP kMap = {nullptr, &kEntries[0]};
    return &kMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn != nullptr; ++entry) {
            if (entry->nMessage != message) continue;
            LRESULT result = entry->pfn(this, wParam, lParam);
            if (pResult) *pResult = result;
            return TRUE;
        }
    }
    return FALSE;
}

CWinThread::~CWinThread() = default;

CWnd* CWinThread::GetMainWnd() {
    return m_pMainWnd;
}

CWinThread* AfxGetThread() {
    return AfxGetAppModuleState()->m_pCurrentWinApp;
}

CWinApp::CWinApp(const wchar_t* pszAppName) : m_pszAppName(pszAppName) {}

CWinApp::~CWinApp() = default;

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

BOOL AfxLibraryAttach(AFX_MODULE_STATE* state, CWinApp* app) {
    state->m_pCurrentWinApp = app;
    if (!state->m_lpszCurrentAppName)
        state->m_lpszCurrentAppName =
            app->m_pszAppName ? app->m_pszAppName : state->m_strModuleName.c_str();
    AfxAddResourceModule(state);
    AFX_MAINTAIN_STATE2 switched(state);
    return app->InitInstance();
}

int AfxLibraryDetach(AFX_MODULE_STATE* state, CWinApp* app) {
    int result;
    {
        AFX_MAINTAIN_STATE2 switched(state);
        result = app->ExitInstance();
    }
    AfxRemoveResourceModule(state);
    state->m_pCurrentWinApp = nullptr;
    return result;
}
