// The application framework's core: module states with their string tables, message maps,
// and the application class with its load and unload sequence.
#pragma once

#include <map>
#include <string>

#include "vantrel_platform/cstring.h"
#include "vantrel_platform/wintypes.h"

class CWinApp;
class CWnd;

// ---------------------------------------------------------------------------------------------
// Module states

// One per module (the host application, each library). A module owns a string table; the
// calling thread has a current module state, the host application's unless switched.
struct VPLATFORM_API AFX_MODULE_STATE {
    explicit AFX_MODULE_STATE(const wchar_t* moduleName = L"");
    AFX_MODULE_STATE(const AFX_MODULE_STATE&) = delete;
    AFX_MODULE_STATE& operator=(const AFX_MODULE_STATE&) = delete;

    // Registers (or replaces) string resource `id` of this module.
    void SetString(UINT id, const wchar_t* text);
    void RemoveString(UINT id);
    // The text of `id` in this module's own table, or null.
    const wchar_t* FindString(UINT id) const;

    std::wstring m_strModuleName;
    CWinApp* m_pCurrentWinApp = nullptr;
    const wchar_t* m_lpszCurrentAppName = nullptr;

  private:
    std::map<UINT, std::wstring> m_strings;
};

// The module state current on the calling thread.
VPLATFORM_API AFX_MODULE_STATE* AfxGetModuleState();
// The host application's module state.
VPLATFORM_API AFX_MODULE_STATE* AfxGetAppModuleState();
// Makes `state` current on the calling thread and returns the previous one.
VPLATFORM_API AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state);

// Switches the calling thread to a module state for the lifetime of the object.
class VPLATFORM_API AFX_MAINTAIN_STATE2 {
  public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state);
    ~AFX_MAINTAIN_STATE2();
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

  private:
    AFX_MODULE_STATE* m_pPrevious;
};

// Resource modules are searched, in the order added, after the current module's own table:
// a library adds its module here when it is attached, so its strings resolve for any caller.
VPLATFORM_API void AfxAddResourceModule(AFX_MODULE_STATE* state);
VPLATFORM_API void AfxRemoveResourceModule(AFX_MODULE_STATE* state);
// String lookup as CString::LoadString does it: current module, then the resource modules.
VPLATFORM_API const wchar_t* AfxFindStringResource(UINT id);

// ---------------------------------------------------------------------------------------------
// Message maps

class CCmdTarget;
using AFX_PMSG_THUNK = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    AFX_PMSG_THUNK pfn;  // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                            \
  protected:                                             \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)               \
    const AFX_MSGMAP* theClass::GetMessageMap() const {      \
        return GetThisMessageMap();                          \
    }                                                        \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() { \
        typedef theClass ThisClass;                          \
        typedef baseClass TheBaseClass;                      \
        (void)sizeof(ThisClass);                             \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, nullptr }                                                                                \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

// Base of every class that receives messages.
class VPLATFORM_API CCmdTarget {
  public:
    CCmdTarget() = default;
    virtual ~CCmdTarget();

    virtual const AFX_MSGMAP* GetMessageMap() const;
    // Finds the handler of `message` in this object's message map, chained to its bases, and
    // runs it. FALSE when no map in the chain has an entry for it.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
};

// ---------------------------------------------------------------------------------------------
// Threads and the application

class VPLATFORM_API CWinThread : public CCmdTarget {
  public:
    CWinThread() = default;
    ~CWinThread() override;
    virtual CWnd* GetMainWnd();

    CWnd* m_pMainWnd = nullptr;
};

// The thread object of the calling thread: the application object of the host, if any.
VPLATFORM_API CWinThread* AfxGetThread();

class VPLATFORM_API CWinApp : public CWinThread {
  public:
    explicit CWinApp(const wchar_t* pszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    const wchar_t* m_pszAppName;

    DECLARE_MESSAGE_MAP()
};

// The current module's application object.

// Library load and unload, as the framework's library entry point performs them: attach
// makes `app` the application object of `state`, adds `state` to the resource modules and
// calls InitInstance, whose result it returns; detach calls ExitInstance and removes the module.
VPLATFORM_API BOOL AfxLibraryAttach(AFX_MODULE_STATE* state, CWinApp* app);
VPLATFORM_API int AfxLibraryDetach(AFX_MODULE_STATE* state, CWinApp* app);
