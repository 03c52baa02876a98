// Real message boxes in the test programs on Windows: a CBT hook on the thread that runs the
// tests reads each message box when it is activated and dismisses it with OK, so that no test
// waits for a user. Built into every test program there.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "support/shown_boxes.h"

namespace {

std::vector<testing_support::ShownBox>& Shown() {
    static std::vector<testing_support::ShownBox> boxes;
    return boxes;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t found[32];
    return GetClassNameW(window, found, 32) > 0 && lstrcmpiW(found, name) == 0;
}

// The box's message is its static control with a text (the icon's has none).
BOOL CALLBACK ReadMessage(HWND child, LPARAM box) {
    auto& shown = *reinterpret_cast<testing_support::ShownBox*>(box);
    if (HasClass(child, L"Static") && shown.text.empty()) shown.text = TextOf(child);
    return TRUE;
}

BOOL CALLBACK ReadOwnerChild(HWND child, LPARAM box) {
    reinterpret_cast<testing_support::ShownBox*>(box)->ownerTexts.push_back(TextOf(child));
    return TRUE;
}

LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && HasClass(window, L"#32770")) {
        testing_support::ShownBox box;
        HWND owner = GetWindow(window, GW_OWNER);
        box.owner = owner;
        box.caption = TextOf(window);
        EnumChildWindows(window, ReadMessage, reinterpret_cast<LPARAM>(&box));
        if (owner) EnumChildWindows(owner, ReadOwnerChild, reinterpret_cast<LPARAM>(&box));
        Shown().push_back(std::move(box));
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Installed when the program starts, on the thread that runs the tests.
const HHOOK gHook = SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());

}  // namespace

namespace testing_support {

std::vector<ShownBox> TakeShownBoxes() {
    std::vector<ShownBox> boxes;
    boxes.swap(Shown());
    return boxes;
}

}  // namespace testing_support
