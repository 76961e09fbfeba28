#include "platform/win32/forms/win32_picture_box.h"

namespace platform::win32 {

namespace {

void Paint(HWND window, const PictureBoxState* state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const GdiObject<HBRUSH> background(
        CreateSolidBrush(state ? state->background : RGB(255, 255, 255)));
    FillRect(dc, &client, background.Get());
    if (state && state->picture) {
        BITMAP info{};
        GetObjectW(state->picture.Get(), sizeof(info), &info);
        const MemoryDc source(CreateCompatibleDC(dc));
        HGDIOBJ previous = SelectObject(source.Get(), state->picture.Get());
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
        SelectObject(source.Get(), previous);
    }
    const GdiObject<HBRUSH> border(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
    FrameRect(dc, &client, border.Get());
    EndPaint(window, &paint);
}

LRESULT CALLBACK PictureBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<PictureBoxState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_PAINT:
            Paint(window, state);
            return 0;
        case WM_NCHITTEST:
            // Clicks go to the controls lying on it, not to the box.
            return HTTRANSPARENT;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterPictureBoxClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = PictureBoxProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.lpszClassName = kPictureBoxClass;
    if (RegisterClassExW(&windowClass)) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void SetPictureBoxState(HWND window, PictureBoxState* state) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    InvalidateRect(window, nullptr, TRUE);
}

}  // namespace platform::win32
