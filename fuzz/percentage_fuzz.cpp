// Percentage fields with arbitrary control text: each of the three exchanges either takes a
// number or fails the exchange leaving the variable alone; a value taken shows in the control
// and reads back as itself (to the two decimals shown, for the float).
#include <cmath>
#include <cstring>
#include <type_traits>

#include "fuzz_support.h"
#include "vantrel/dialog.h"
#include "vantrel_platform/message_box.h"

namespace {

constexpr int kEdit = 1001;

CWnd& Dialog() {
    static CWnd* dialog = [] {
        // Prompts are answered without being logged: the log would grow with every input.
        vplatform::SetMessageBoxSink([](const vplatform::MessageBoxRecord&) { return IDOK; });
        auto* wnd = new CWnd;
        wnd->Attach(vplatform::CreateDialog(L"Percentages", 300, 200,
                                            {{kEdit, vplatform::WindowKind::Edit, 80, 20}}));
        return wnd;
    }();
    return *dialog;
}

// Runs one exchange; false when it failed.
template <typename T>
bool Exchange(void (*ddx)(CDataExchange*, int, T&), BOOL out, T& value) {
    CDataExchange dx(&Dialog(), out);
    try {
        ddx(&dx, kEdit, value);
    } catch (const CUserException&) {
        return false;
    }
    return true;
}

template <typename T>
void FuzzOne(void (*ddx)(CDataExchange*, int, T&), const std::wstring& text, T sentinel) {
    HWND edit = ::GetDlgItem(Dialog().m_hWnd, kEdit);
    ::SetWindowTextW(edit, text.c_str());
    T value = sentinel;
    if (!Exchange(ddx, TRUE, value)) {
        VANTREL_FUZZ_CHECK(std::memcmp(&value, &sentinel, sizeof value) == 0);
        return;
    }
    VANTREL_FUZZ_CHECK(Exchange(ddx, FALSE, value));
    T back = sentinel;
    VANTREL_FUZZ_CHECK(Exchange(ddx, TRUE, back));
    if constexpr (std::is_same_v<T, float>) {
        // Shown with two decimals (off by up to 0.005), then read into the nearest float (off
        // by up to half a step of floats there).
        const float step = std::nextafter(std::fabs(value), INFINITY) - std::fabs(value);
        if (std::fabs(value) < 1e6f) VANTREL_FUZZ_CHECK(std::fabs(back - value) <= 0.005f + step);
    } else {
        VANTREL_FUZZ_CHECK(back == value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::wstring text = fuzz::WideText(data, size);
    FuzzOne(DDX_Percentage_Integer, text, 77);
    FuzzOne(DDX_Percentage_UINT, text, 77u);
    FuzzOne(DDX_Percentage_float, text, 77.0f);
    return 0;
}
