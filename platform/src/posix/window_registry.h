// The headless window system's records (internal to the platform library).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../window_system.h"
#include "vantrel_platform/controls.h"

namespace vplatform::detail {

struct ComboState {
    std::vector<std::wstring> items;
    int droppedWidth = 0;
};

struct ProgressState {
    int lower = 0;  // the bounds as the control keeps them: 16 bits each
    int upper = 100;
    int pos = 0;
    int step = 10;
};

struct WindowRecord {
    HWND handle = nullptr;
    WindowKind kind = WindowKind::Generic;
    DWORD style = 0;
    std::wstring text;
    int id = 0;
    HWND parent = nullptr;
    std::vector<HWND> children;
    int width = 0;
    int height = 0;

    HFONT font = nullptr;

    int selStart = 0;  // edit control
    int selEnd = 0;
    ComboState combo;
    ProgressState progress;

    bool invalid = false;
    bool erase = false;
    bool dcAvailable = true;
    std::vector<COLORREF> pixels;  // width * height
    std::vector<DrawCall> log;
};

// The record of a live window, or null. Records stay where they are until their window is
// destroyed, but a message handler can destroy windows: look the record up again after
// sending a message.
WindowRecord* FindWindowRecord(HWND hWnd);

// Built-in behaviour of the control kinds (control_kinds.cpp); false when the kind has none for the
// message.
bool ControlProc(WindowRecord& window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
// The kind's own drawing inside WM_PAINT, after BeginPaint (control_kinds.cpp).
void PaintControl(HWND hWnd, HDC hDC);
// The kind's background colour (WM_ERASEBKGND).
COLORREF BackgroundColor(WindowKind kind);

// Device contexts and fonts (gdi_system.cpp): the window system releases a destroyed window's
// contexts.
void ForgetWindowDeviceContexts(HWND hWnd);

}  // namespace vplatform::detail
