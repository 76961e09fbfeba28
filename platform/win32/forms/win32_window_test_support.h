// Driving real windows from inside a test: pumping messages, keys posted to
// the focused control, and a helper thread that answers the next message
// box the way a user would.
#pragma once

#include <gtest/gtest.h>
#include <wincodec.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "platform/forms/user_interface.h"
#include "platform/win32/windows_api.h"

namespace platform::win32::testing {

// Processes messages for a while, so that posted input takes effect.
inline void Pump(forms::UserInterface& ui, int milliseconds = 30) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        ui.DoEvents();
        Sleep(5);
    } while (std::chrono::steady_clock::now() < end);
}

// A key press as the keyboard delivers it: down and up at the focused window.
inline void PressKey(forms::UserInterface& ui, WPARAM key) {
    HWND target = GetFocus();
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    Pump(ui);
}

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

inline std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// Saves a PNG of a window as the screen shows it, caption and frame
// included, as "<name>.png" in the folder KESTROW_SCREENSHOT_DIR names, when
// it names one.
inline void SaveScreenshot(HWND window, const std::string& name) {
    const char* folder = std::getenv("KESTROW_SCREENSHOT_DIR");
    if (!folder || !*folder) return;
    // Let the window (and one another thread owns) finish painting.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    while (std::chrono::steady_clock::now() < until) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(20);
    }
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    const bool comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IWICImagingFactory* factory = nullptr;
    IWICBitmap* bitmap = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    const std::wstring path = std::wstring(folder, folder + std::strlen(folder)) + L"\\" +
                              std::wstring(name.begin(), name.end()) + L".png";
    bool saved =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(
            factory->CreateBitmapFromHBITMAP(picture, nullptr, WICBitmapIgnoreAlpha, &bitmap)) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->WriteSource(bitmap, nullptr)) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    for (IUnknown* object :
         std::initializer_list<IUnknown*>{frame, encoder, stream, bitmap, factory}) {
        if (object) object->Release();
    }
    DeleteObject(picture);
    if (comStarted) CoUninitialize();
    if (!saved) ADD_FAILURE() << "the picture " << name << " could not be saved";
}

// What a message box showed and what it was answered.
struct AnsweredBox {
    std::wstring title;
    std::wstring text;  // its longest static text
    bool found = false;
};

inline BOOL CALLBACK KeepLongestStatic(HWND child, LPARAM context) {
    auto* answered = reinterpret_cast<AnsweredBox*>(context);
    const std::wstring text = TextOf(child);
    if (ClassOf(child) == L"Static" && text.size() > answered->text.size()) answered->text = text;
    return TRUE;
}

// Waits on a thread of its own for a message box (a dialog of the system's
// class with the given title), reads it, and presses answer.
class MessageBoxAnswerer {
  public:
    // screenshot: a name for a picture of the box (see SaveScreenshot).
    MessageBoxAnswerer(std::wstring title, int answer, std::string screenshot = {})
        : title_(std::move(title)),
          answer_(answer),
          screenshot_(std::move(screenshot)),
          thread_([this] { Run(); }) {}
    ~MessageBoxAnswerer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    // Waits for the thread to have answered (or given up).
    AnsweredBox Result() {
        if (thread_.joinable()) thread_.join();
        return box_;
    }

  private:
    void Run() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!stop_ && std::chrono::steady_clock::now() < end) {
            HWND box = FindWindowW(L"#32770", title_.c_str());
            if (box && IsWindowVisible(box) && IsWindowEnabled(box) && IsMessageBox(box)) {
                box_.found = true;
                box_.title = TextOf(box);
                EnumChildWindows(box, KeepLongestStatic, reinterpret_cast<LPARAM>(&box_));
                if (!screenshot_.empty()) SaveScreenshot(box, screenshot_);
                PostMessageW(box, WM_COMMAND, answer_, 0);
                return;
            }
            Sleep(10);
        }
    }
    // Our forms are dialogs too; a message box has a button for its answer.
    bool IsMessageBox(HWND box) const { return GetDlgItem(box, answer_) != nullptr; }

    std::wstring title_;
    int answer_;
    std::string screenshot_;
    std::atomic<bool> stop_{false};
    AnsweredBox box_;
    std::thread thread_;
};

}  // namespace platform::win32::testing
