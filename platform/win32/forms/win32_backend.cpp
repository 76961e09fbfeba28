#include "platform/win32/forms/win32_backend.h"

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/forms/form.h"
#include "platform/platform_error.h"
#include "platform/win32/bound_api.h"
#include "platform/win32/forms/win32_form_view.h"
#include "platform/win32/forms/win32_forms_backend.h"
#include "platform/win32/forms/win32_picture_box.h"
#include "platform/win32/forms/win32_units.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_handles.h"

namespace platform::win32 {
namespace {

// The common controls are bound when the first form needs them: loading the
// library makes Wine start the desktop process, which a program that opens
// no window (direct mode) would otherwise pay for on every run.
void InitCommonControlsOnFirstUse() {
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const HMODULE library = LoadLibraryW(L"comctl32.dll");
    if (!library) {
        throw PlatformError("the common controls library comctl32.dll cannot be loaded");
    }
    const auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
    if (!init) throw PlatformError("the common controls library has no InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    init(&controls);
}

}  // namespace

Win32FormsBackend::Win32FormsBackend() {
    // The folder browser and the picture decoder are COM objects of this
    // thread's apartment. Without ole32 the windows still open; those two
    // fail on their own.
    try {
        comInitialised_ = SUCCEEDED(bound::OleInitialize(nullptr));
    } catch (const PlatformError&) {
        comInitialised_ = false;
    }
    try {
        InitCommonControlsOnFirstUse();
    } catch (...) {
        if (comInitialised_) bound::OleUninitialize();
        throw;
    }
    if (!RegisterPictureBoxClass()) {
        if (comInitialised_) bound::OleUninitialize();
        throw PlatformError("the picture box window class cannot be registered");
    }
}

Win32FormsBackend::~Win32FormsBackend() {
    if (hiddenOwner_) DestroyWindow(hiddenOwner_);
    if (comInitialised_) bound::OleUninitialize();
}

std::unique_ptr<forms::FormView> Win32FormsBackend::CreateView(forms::Form& form,
                                                               forms::Form* owner, bool modal) {
    return std::make_unique<Win32FormView>(*this, form, owner, modal);
}

void Win32FormsBackend::WaitFor(const std::function<bool()>& done) {
    ThrowPending();
    while (!done()) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) throw PlatformError("the message loop failed");
        if (got == 0) {
            // Someone asked the thread to end: leave that to the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Process(message);
        ThrowPending();
    }
}

void Win32FormsBackend::DoEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        Process(message);
        ThrowPending();
    }
}

bool Win32FormsBackend::Process(MSG& message) {
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    Win32FormView* view = ViewOfWindow(root);
    if (view && (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN)) {
        if (!view->PreviewKey(message)) return true;
        // The key handler may have closed the form.
        view = ViewOfWindow(root);
    }
    if (view && IsDialogMessageW(root, &message)) return true;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

void Win32FormsBackend::Fail(std::exception_ptr error) {
    if (!pending_) pending_ = error;
}

void Win32FormsBackend::ThrowPending() {
    if (!pending_) return;
    std::exception_ptr error = pending_;
    pending_ = nullptr;
    std::rethrow_exception(error);
}

bool Win32FormsBackend::HasOpenWindows() const {
    return std::any_of(views_.begin(), views_.end(),
                       [](const Win32FormView* view) { return IsWindow(view->Window()); });
}

int Win32FormsBackend::MessageBox(const std::string& text, unsigned style,
                                  const std::string& title) {
    const int answer =
        ::MessageBoxW(DialogParent(), Wide(text).c_str(), Wide(title).c_str(), style);
    if (answer == 0) throw PlatformError("the message box cannot be shown");
    return answer;
}

std::string Win32FormsBackend::BrowseForFolder(const std::string& instruction) {
    const std::wstring title = Wide(instruction);
    BROWSEINFOW info{};
    info.hwndOwner = DialogParent();
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const CoTaskMemory<PIDLIST_ABSOLUTE> chosen(bound::SHBrowseForFolderW(&info));
    if (!chosen) return {};
    // A long buffer, so that a folder deeper than MAX_PATH comes back whole
    // instead of failing or cut short; the caller decides what it takes.
    std::wstring path(32768, L'\0');
    BOOL converted = bound::SHGetPathFromIDListEx(chosen.Get(), path.data(),
                                                  static_cast<DWORD>(path.size()), GPFIDL_DEFAULT);
    if (!converted) {
        path.assign(MAX_PATH, L'\0');
        converted = bound::SHGetPathFromIDListW(chosen.Get(), path.data());
    }
    if (!converted) throw PlatformError("the chosen folder has no file-system path");
    path.resize(path.find(L'\0'));
    return Utf8(path);
}

void Win32FormsBackend::ViewOpened(Win32FormView& view) { views_.push_back(&view); }

void Win32FormsBackend::ViewClosed(Win32FormView& view) {
    views_.erase(std::remove(views_.begin(), views_.end(), &view), views_.end());
}

Win32FormView* Win32FormsBackend::ViewOfWindow(HWND window) const {
    if (!window) return nullptr;
    for (Win32FormView* view : views_) {
        if (view->Window() == window) return view;
    }
    return nullptr;
}

HWND Win32FormsBackend::HiddenOwner() {
    if (!hiddenOwner_) {
        hiddenOwner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    }
    return hiddenOwner_;
}

HWND Win32FormsBackend::DialogParent() const {
    const HWND active = GetActiveWindow();
    if (ViewOfWindow(active)) return active;
    for (auto it = views_.rbegin(); it != views_.rend(); ++it) {
        const HWND window = (*it)->Window();
        if (IsWindowVisible(window) && IsWindowEnabled(window)) return window;
    }
    return nullptr;
}

std::unique_ptr<forms::FormsBackend> MakeWin32FormsBackend() {
    return std::make_unique<Win32FormsBackend>();
}

}  // namespace platform::win32
