// Message boxes the system showed. On Windows the test programs show real, modal message boxes:
// a hook of the test program (win32_message_boxes.cpp) reads each one as it appears and answers
// OK. The headless system shows none.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct ShownBox {
    const void* owner = nullptr;  // the window that owns the box
    std::wstring caption;
    std::wstring text;
    std::vector<std::wstring> ownerTexts;  // the texts of the owner's child windows meanwhile
};

#ifdef _WIN32
constexpr bool kSystemShowsBoxes = true;
// The boxes shown since the last call, in order.
std::vector<ShownBox> TakeShownBoxes();
#else
constexpr bool kSystemShowsBoxes = false;
inline std::vector<ShownBox> TakeShownBoxes() {
    return {};
}
#endif

}  // namespace testing_support
