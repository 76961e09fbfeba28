// The picture box control: a window that paints its background colour, a
// picture from its top left corner and a thin border, beneath the controls
// it holds.
#pragma once

#include "platform/win32/win32_handles.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

constexpr const wchar_t* kPictureBoxClass = L"KestrowPictureBox";

// What a picture box shows; its owner keeps it alive as long as the window.
struct PictureBoxState {
    GdiObject<HBITMAP> picture;
    COLORREF background = RGB(255, 255, 255);
};

bool RegisterPictureBoxClass();

// Points the window at its state (lParam of CreateWindowExW does the same).
void SetPictureBoxState(HWND window, PictureBoxState* state);

}  // namespace platform::win32
