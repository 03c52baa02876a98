#include <algorithm>
#include <mutex>
#include <vector>

#include "vantrel_platform/afx.h"

namespace {

AFX_MODULE_STATE& AppModuleState() {
    static AFX_MODULE_STATE state(L"host application");
    return state;
}

thread_local AFX_MODULE_STATE* gCurrentState = nullptr;

// Resource modules are added and removed at load and unload, and read by every string lookup.
std::mutex gResourceModulesMutex;
std::vector<AFX_MODULE_STATE*>& ResourceModules() {
    static std::vector<AFX_MODULE_STATE*> modules;
    return modules;
}

}  // namespace

AFX_MODULE_STATE::AFX_MODULE_STATE(const wchar_t* moduleName)
    : m_strModuleName(moduleName ? moduleName : L"") {}

void AFX_MODULE_STATE::SetString(UINT id, const wchar_t* text) {
    m_strings[id] = text ? text : L"";
}

void AFX_MODULE_STATE::RemoveString(UINT id) {
    m_strings.erase(id);
}

const wchar_t* AFX_MODULE_STATE::FindString(UINT id) const {
    auto found = m_strings.find(id);
    return found == m_strings.end() ? nullptr : found->second.c_str();
}

AFX_MODULE_STATE* AfxGetModuleState() {
    return gCurrentState ? gCurrentState : &AppModuleState();
}

AFX_MODULE_STATE* AfxGetAppModuleState() {
    return &AppModuleState();
}

AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state) {
    AFX_MODULE_STATE* previous = AfxGetModuleState();
    gCurrentState = state;
    return previous;
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state)
    : m_pPrevious(AfxSetModuleState(state)) {}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2() {
    AfxSetModuleState(m_pPrevious);
}

void AfxAddResourceModule(AFX_MODULE_STATE* state) {
    std::lock_guard<std::mutex> lock(gResourceModulesMutex);
    auto& modules = ResourceModules();
    if (std::find(modules.begin(), modules.end(), state) == modules.end()) modules.push_back(state);
}

void AfxRemoveResourceModule(AFX_MODULE_STATE* state) {
    std::lock_guard<std::mutex> lock(gResourceModulesMutex);
    auto& modules = ResourceModules();
    modules.erase(std::remove(modules.begin(), modules.end(), state), modules.end());
}

const wchar_t* AfxFindStringResource(UINT id) {
    if (const wchar_t* text = AfxGetModuleState()->FindString(id)) return text;
    std::lock_guard<std::mutex> lock(gResourceModulesMutex);
    for (AFX_MODULE_STATE* module : ResourceModules())
        if (const wchar_t* text = module->FindString(id)) return text;
    return nullptr;
}
