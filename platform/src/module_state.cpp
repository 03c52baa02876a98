#include <algorithm>
#include <mutex>
#include <vector>

#include "vantrel_platform/afx.h"

namespace {

AFX_MODULE_STATE& app_module_state() {
    static AFX_MODULE_STATE state(L"host application");
    return state;
}

thread_local AFX_MODULE_STATE* t_current_state = nullptr;

// Resource modules are added and removed at load and unload, and read by every string lookup.
std::mutex g_resource_modules_mutex;
std::vector<AFX_MODULE_STATE*>& resource_modules() {
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
    return t_current_state ? t_current_state : &app_module_state();
}

AFX_MODULE_STATE* AfxGetAppModuleState() {
    return &app_module_state();
}

AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state) {
    AFX_MODULE_STATE* previous = AfxGetModuleState();
    t_current_state = state;
    return previous;
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state)
    : m_pPrevious(AfxSetModuleState(state)) {}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2() {
    AfxSetModuleState(m_pPrevious);
}

void AfxAddResourceModule(AFX_MODULE_STATE* state) {
    std::lock_guard<std::mutex> lock(g_resource_modules_mutex);
    auto& modules = resource_modules();
    if (std::find(modules.begin(), modules.end(), state) == modules.end()) modules.push_back(state);
}

void AfxRemoveResourceModule(AFX_MODULE_STATE* state) {
    std::lock_guard<std::mutex> lock(g_resource_modules_mutex);
    auto& modules = resource_modules();
    modules.erase(std::remove(modules.begin(), modules.end(), state), modules.end());
}

const wchar_t* AfxFindStringResource(UINT id) {
    if (const wchar_t* text = AfxGetModuleState()->FindString(id)) return text;
    std::lock_guard<std::mutex> lock(g_resource_modules_mutex);
    for (AFX_MODULE_STATE* module : resource_modules())
        if (const wchar_t* text = module->FindString(id)) return text;
    return nullptr;
}
