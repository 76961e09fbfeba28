#include "platform/win32/forms/win32_form_view.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <exception>

#include "platform/forms/user_interface.h"
#include "platform/platform_error.h"
#include "platform/text/text.h"
#include "platform/win32/forms/win32_backend.h"
#include "platform/win32/forms/win32_dialog_template.h"
#include "platform/win32/forms/win32_fonts.h"
#include "platform/win32/forms/win32_layout.h"
#include "platform/win32/forms/win32_resources.h"
#include "platform/win32/forms/win32_units.h"
#include "platform/win32/wide_text.h"

namespace platform::win32 {

using forms::Control;
using forms::ControlKind;

namespace {

constexpr int kFirstControlId = 1000;  // clear of IDOK and IDCANCEL
constexpr const wchar_t* kViewProperty = L"KestrowFormView";
constexpr const wchar_t* kProcProperty = L"KestrowOriginalProc";

COLORREF ToColorRef(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

DWORD LabelAlignment(const Control& label) {
    switch (label.TextAlignment()) {
        case forms::Alignment::Center:
            return SS_CENTER;
        case forms::Alignment::Right:
            return SS_RIGHT;
        default:
            return label.WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP;
    }
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetWindowTextIfChanged(HWND window, const std::wstring& text) {
    if (WindowText(window) != text) SetWindowTextW(window, text.c_str());
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return FALSE;  // the model sets the focus
    }
    auto* view = reinterpret_cast<Win32FormView*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return view ? view->HandleDialogMessage(message, wParam, lParam) : FALSE;
}

// Text boxes report no selection changes; this subclass looks after every
// message that may move it.
LRESULT CALLBACK TextBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(GetPropW(window, kProcProperty));
    if (message == WM_NCDESTROY) {
        RemovePropW(window, kViewProperty);
        RemovePropW(window, kProcProperty);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    }
    const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
    const bool mayMoveSelection = message == WM_KEYDOWN || message == WM_KEYUP ||
                                  message == WM_CHAR || message == WM_LBUTTONUP ||
                                  (message == WM_MOUSEMOVE && (wParam & MK_LBUTTON)) ||
                                  message == EM_SETSEL || message == EM_REPLACESEL;
    if (mayMoveSelection && message != WM_NCDESTROY) {
        // Read only now: the call above may have closed the form.
        auto* view = static_cast<Win32FormView*>(GetPropW(window, kViewProperty));
        if (view) {
            if (auto* box = dynamic_cast<forms::TextBox*>(view->ControlOf(window))) {
                view->TextBoxMessageSeen(*box);
            }
        }
    }
    return result;
}

}  // namespace

Win32FormView::Win32FormView(Win32FormsBackend& backend, forms::Form& form, forms::Form* owner,
                             bool modal)
    : backend_(backend), form_(form) {
    HDC screen = GetDC(nullptr);
    dpi_ = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);

    HWND ownerWindow = nullptr;
    if (owner) {
        if (auto* ownerView = dynamic_cast<Win32FormView*>(owner->View())) {
            ownerWindow = ownerView->Window();
        }
    }
    const forms::FormStyle& style = form.Style();
    DialogTemplateLayout layout;
    layout.caption = Wide(style.caption);
    layout.fontName = FaceForHeight(layout.fontName, -MulDiv(layout.fontPoints, dpi_, 72));
    layout.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (style.border == forms::BorderStyle::FixedDialog) layout.style |= DS_MODALFRAME;
    if (style.minButton) layout.style |= WS_MINIMIZEBOX;
    if (style.maxButton) layout.style |= WS_MAXIMIZEBOX;
    // An owned window stays out of the taskbar unless it asks; an unowned
    // one is kept out by a hidden owner.
    HWND templateOwner = ownerWindow;
    if (ownerWindow && style.showInTaskbar) layout.exStyle |= WS_EX_APPWINDOW;
    if (!ownerWindow && !style.showInTaskbar) templateOwner = backend_.HiddenOwner();

    const std::vector<std::uint16_t> words = BuildDialogTemplate(layout);
    dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                         reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                         templateOwner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (!dialog_) {
        throw PlatformError("the window of " + form.Name() + " cannot be made (error " +
                            std::to_string(GetLastError()) + ")");
    }
    try {
        dialogFont_ = reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0));

        CreateChildren();
        PlaceWindow(ownerWindow, TwipsToPixels(style.clientWidth, dpi_),
                    TwipsToPixels(style.clientHeight, dpi_));
        SetIcon();
        for (Control* control : form_.Controls()) Refresh(*control);
        if (modal) DisableOthers(ownerWindow);
    } catch (...) {
        // No view will own the half-made window.
        SetWindowLongPtrW(dialog_, DWLP_USER, 0);
        DestroyWindow(dialog_);
        ReleaseResources();
        throw;
    }
    backend_.ViewOpened(*this);
    ShowWindow(dialog_, SW_SHOW);
    SetForegroundWindow(dialog_);

    if (Control* first = form_.FirstFocus()) Focus(*first);
}

Win32FormView::~Win32FormView() {
    *alive_ = false;
    SetWindowLongPtrW(dialog_, DWLP_USER, 0);
    for (auto& [control, child] : children_) {
        if (child.originalProc) RemovePropW(child.window, kViewProperty);
    }
    // The owner must be enabled before this window goes, or the activation
    // passes to some other program's window.
    for (HWND window : disabled_) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    backend_.ViewClosed(*this);
    const HWND owner = GetWindow(dialog_, GW_OWNER);
    const bool wasActive = GetActiveWindow() == dialog_;
    DestroyWindow(dialog_);
    if (wasActive && owner && IsWindowVisible(owner)) SetActiveWindow(owner);

    ReleaseResources();
}

void Win32FormView::ReleaseResources() {
    fonts_.clear();
    brushes_.clear();
    pictures_.clear();
    smallIcon_.Reset();
    bigIcon_.Reset();
}

void Win32FormView::CreateChildren() {
    toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (toolTip_) SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, 400);
    int id = kFirstControlId;
    for (const ChildPlan& plan : PlanChildren(form_, dpi_)) {
        HWND window =
            CreateChild(*plan.control, plan.x, plan.y, plan.width, plan.height, plan.group, id++);
        if (!window) {
            throw PlatformError("the control " + plan.control->Name() + " cannot be made");
        }
    }
}

HWND Win32FormView::CreateChild(Control& control, int x, int y, int width, int height, bool group,
                                int id) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (group ? WS_GROUP : 0);
    DWORD exStyle = 0;
    const wchar_t* windowClass = L"BUTTON";
    void* createParam = nullptr;
    switch (control.Kind()) {
        case ControlKind::Frame:
            style |= BS_GROUPBOX;
            break;
        case ControlKind::OptionButton:
            style |= BS_AUTORADIOBUTTON | BS_NOTIFY | WS_TABSTOP;
            break;
        case ControlKind::CommandButton:
            style |= BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP;
            break;
        case ControlKind::Label:
            windowClass = L"STATIC";
            // Paths may hold '&', which is no mnemonic here.
            style |= SS_NOTIFY | SS_NOPREFIX | LabelAlignment(control);
            break;
        case ControlKind::TextBox:
            windowClass = L"EDIT";
            style |= ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::PictureBox: {
            windowClass = kPictureBoxClass;
            auto state = std::make_unique<PictureBoxState>();
            state->picture =
                LoadPictureBitmap(static_cast<const forms::PictureBox&>(control).Picture());
            // The picture grows with the box that holds it.
            if (state->picture && dpi_ != 96) {
                if (GdiObject<HBITMAP> scaled = ScalePictureForDpi(state->picture.Get(), dpi_)) {
                    state->picture = std::move(scaled);
                }
            }
            createParam = state.get();
            pictures_[&control] = std::move(state);
            break;
        }
    }
    HWND window = CreateWindowExW(
        exStyle, windowClass, Wide(control.Caption()).c_str(), style, x, y, width, height, dialog_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), createParam);
    if (!window) return nullptr;
    ChildWindow child;
    child.window = window;
    if (control.Kind() == ControlKind::TextBox) {
        const auto& box = static_cast<const forms::TextBox&>(control);
        // The control counts UTF-16 units; TextEdited cuts to characters.
        if (box.MaxLength() > 0) SendMessageW(window, EM_LIMITTEXT, 2 * box.MaxLength(), 0);
        child.originalProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
        SetPropW(window, kProcProperty, reinterpret_cast<HANDLE>(child.originalProc));
        SetPropW(window, kViewProperty, this);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TextBoxProc));
    }
    children_[&control] = child;
    return window;
}

void Win32FormView::PlaceWindow(HWND ownerWindow, int clientWidth, int clientHeight) {
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    RECT workArea{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    RECT area = workArea;
    if (form_.Style().position == forms::StartUpPosition::CenterOwner && ownerWindow &&
        IsWindowVisible(ownerWindow)) {
        GetWindowRect(ownerWindow, &area);
    }
    int x = area.left + ((area.right - area.left) - width) / 2;
    int y = area.top + ((area.bottom - area.top) - height) / 2;
    // Never with the caption off the screen.
    x = std::max<int>(x, workArea.left);
    y = std::max<int>(y, workArea.top);
    SetWindowPos(dialog_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormView::SetIcon() {
    const std::string& icon = form_.Style().icon;
    if (icon.empty()) return;
    smallIcon_ = LoadFormIcon(icon, GetSystemMetrics(SM_CXSMICON));
    bigIcon_ = LoadFormIcon(icon, GetSystemMetrics(SM_CXICON));
    if (smallIcon_) {
        SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    }
    if (bigIcon_) {
        SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    }
}

void Win32FormView::DisableOthers(HWND ownerWindow) {
    if (ownerWindow) {
        if (IsWindowEnabled(ownerWindow)) {
            EnableWindow(ownerWindow, FALSE);
            disabled_.push_back(ownerWindow);
        }
        return;
    }
    // Modal without an owner: the whole program waits.
    for (Win32FormView* view : backend_.Views()) {
        if (view != this && IsWindowEnabled(view->Window())) {
            EnableWindow(view->Window(), FALSE);
            disabled_.push_back(view->Window());
        }
    }
}

void Win32FormView::AddToolTip(Control& control, HWND window) {
    if (!toolTip_) return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog_;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (control.ToolTipText().empty()) return;
    std::wstring tip = Wide(control.ToolTipText());
    tool.lpszText = tip.data();
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HFONT Win32FormView::FontFor(const forms::Font& font) {
    if (font.name.empty() && font.points <= 0 && !font.bold && !font.underline) return dialogFont_;
    LOGFONTW base{};
    if (dialogFont_) GetObjectW(dialogFont_, sizeof(base), &base);
    const std::wstring face = font.name.empty() ? std::wstring(base.lfFaceName) : Wide(font.name);
    HDC screen = GetDC(nullptr);
    const int dpiY = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    const int height = font.points > 0
                           ? -MulDiv(static_cast<int>(std::lround(font.points * 100)), dpiY, 7200)
                           : static_cast<int>(base.lfHeight);
    const auto key = std::make_tuple(face, height, font.bold, font.underline);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second.Get();
    const std::wstring fitting = FaceForHeight(face, height);
    HFONT created = CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                                font.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, fitting.c_str());
    if (!created) return dialogFont_;
    fonts_[key].Reset(created);
    return created;
}

HBRUSH Win32FormView::BrushFor(COLORREF colour) {
    auto found = brushes_.find(colour);
    if (found != brushes_.end()) return found->second.Get();
    HBRUSH brush = CreateSolidBrush(colour);
    brushes_[colour].Reset(brush);
    return brush;
}

HWND Win32FormView::WindowOf(const Control& control) const {
    auto found = children_.find(&control);
    return found == children_.end() ? nullptr : found->second.window;
}

Control* Win32FormView::ControlOf(HWND window) const {
    if (!window) return nullptr;
    for (const auto& [control, child] : children_) {
        if (child.window == window) return const_cast<Control*>(control);
    }
    return nullptr;
}

void Win32FormView::Refresh(Control& control) {
    HWND window = WindowOf(control);
    if (!window || syncing_) return;
    syncing_ = true;
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control.GetFont())), FALSE);
    AddToolTip(control, window);
    const std::wstring caption = Wide(control.Caption());
    switch (control.Kind()) {
        case ControlKind::Frame:
        case ControlKind::CommandButton:
            SetWindowTextIfChanged(window, caption);
            break;
        case ControlKind::OptionButton: {
            SetWindowTextIfChanged(window, caption);
            const bool on = static_cast<forms::OptionButton&>(control).Value();
            SendMessageW(window, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
            UpdateOptionTabStops();
            break;
        }
        case ControlKind::Label: {
            SetWindowTextIfChanged(window, caption);
            const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
            SetWindowLongPtrW(window, GWL_STYLE, (style & ~SS_TYPEMASK) | LabelAlignment(control));
            break;
        }
        case ControlKind::TextBox: {
            const auto& box = static_cast<forms::TextBox&>(control);
            const std::wstring text = Wide(box.Text());
            SetWindowTextIfChanged(window, text);
            const int start = CharsToUnits(text, box.SelStart());
            const int end = CharsToUnits(text, box.SelStart() + box.SelLength());
            SendMessageW(window, EM_SETSEL, start, end);
            break;
        }
        case ControlKind::PictureBox: {
            auto found = pictures_.find(&control);
            if (found != pictures_.end()) {
                found->second->background =
                    control.BackColour() ? ToColorRef(*control.BackColour()) : RGB(255, 255, 255);
            }
            break;
        }
    }
    InvalidateRect(window, nullptr, TRUE);
    syncing_ = false;
}

void Win32FormView::UpdateOptionTabStops() {
    // Tab enters a group of options at the one that is on, as arrows move
    // within it; a group with none on is entered at its first.
    std::map<const Control*, bool> anyOn;
    for (Control* control : form_.Controls()) {
        if (control->Kind() == ControlKind::OptionButton &&
            static_cast<forms::OptionButton*>(control)->Value()) {
            anyOn[control->Container()] = true;
        }
    }
    std::map<const Control*, bool> firstSeen;
    for (const ChildPlan& plan : PlanChildren(form_, dpi_)) {
        Control* control = plan.control;
        if (control->Kind() != ControlKind::OptionButton) continue;
        HWND window = WindowOf(*control);
        if (!window) continue;
        const bool on = static_cast<forms::OptionButton*>(control)->Value();
        const bool first = !firstSeen[control->Container()];
        firstSeen[control->Container()] = true;
        const bool stop = on || (first && !anyOn[control->Container()]);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
        SetWindowLongPtrW(window, GWL_STYLE, stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

void Win32FormView::Focus(Control& control) {
    if (focusSyncing_) return;
    HWND window = WindowOf(control);
    if (!window) return;
    // A button the dialog manager focused by itself on activation lacks the
    // default look, and Enter presses only a button that has it: such a
    // button goes through the dialog manager again.
    if (GetFocus() == window && control.Kind() != ControlKind::CommandButton) return;
    // Through the dialog manager, which also moves the button highlight.
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window), TRUE);
}

bool Win32FormView::PreviewKey(const MSG& message) {
    // Enter and Escape need nothing here: the dialog manager presses the
    // focused button, and DM_GETDEFID keeps any other from being the default.
    const std::shared_ptr<bool> alive = alive_;
    const int keyCode = static_cast<int>(message.wParam);
    const int shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                      (GetKeyState(VK_MENU) < 0 ? 4 : 0);
    form_.KeyDown(keyCode, shift);
    return *alive;
}

INT_PTR Win32FormView::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    Win32FormsBackend& backend = backend_;
    try {
        switch (message) {
            case WM_COMMAND:
                Command(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
                return TRUE;
            case WM_CLOSE:
                form_.Ui().Unload(form_);
                return TRUE;
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLOREDIT:
                return ColourFor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            case WM_SETCURSOR:
                if (SetCursorFor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) {
                    SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, TRUE);
                    return TRUE;
                }
                return FALSE;
            case DM_GETDEFID:
                // No default button: Enter in a text box presses nothing.
                SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, 0);
                return TRUE;
            default:
                return FALSE;
        }
    } catch (...) {
        backend.Fail(std::current_exception());
        return TRUE;
    }
}

void Win32FormView::Command(int code, HWND child) {
    // IDOK and IDCANCEL from Enter and Escape come without a control of ours.
    Control* control = ControlOf(child);
    if (!control) return;
    const std::shared_ptr<bool> alive = alive_;
    switch (control->Kind()) {
        case ControlKind::CommandButton:
            if (code == BN_CLICKED) control->Click();
            if (code == BN_SETFOCUS) FocusArrived(child);
            break;
        case ControlKind::OptionButton:
            if (code == BN_CLICKED) OptionClicked(static_cast<forms::OptionButton&>(*control));
            if (code == BN_SETFOCUS) FocusArrived(child);
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE) TextEdited(static_cast<forms::TextBox&>(*control));
            if (code == EN_SETFOCUS) {
                FocusArrived(child);
                if (*alive) SelectionMoved(static_cast<forms::TextBox&>(*control));
            }
            break;
        case ControlKind::Label:
            if (code == STN_CLICKED) control->Click();
            break;
        default:
            break;
    }
}

void Win32FormView::OptionClicked(forms::OptionButton& option) {
    HWND window = WindowOf(option);
    const bool checked = SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (!checked || option.Value()) {
        // Nothing changed, or the control and the model disagree: the model wins.
        Refresh(option);
        return;
    }
    option.SetValue(true);
    option.Click();
}

void Win32FormView::TextEdited(forms::TextBox& box) {
    HWND window = WindowOf(box);
    if (!window || syncing_) return;
    syncing_ = true;
    std::wstring text = WindowText(window);
    const int excess = UnitsToChars(text, static_cast<int>(text.size())) - box.MaxLength();
    if (box.MaxLength() > 0 && excess > 0) {
        // Keep the start of what was typed or pasted, as the model's Type does.
        DWORD caret = 0;
        SendMessageW(window, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
        const int caretUnits =
            std::min<int>(static_cast<int>(caret), static_cast<int>(text.size()));
        const int from = CharsToUnits(text, UnitsToChars(text, caretUnits) - excess);
        text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(caretUnits - from));
        SetWindowTextW(window, text.c_str());
        SendMessageW(window, EM_SETSEL, from, from);
    }
    box.SetText(Utf8(text));
    syncing_ = false;
    SelectionMoved(box);
}

void Win32FormView::SelectionMoved(forms::TextBox& box) {
    HWND window = WindowOf(box);
    if (!window || syncing_) return;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const std::wstring text = WindowText(window);
    const int startChars = UnitsToChars(text, static_cast<int>(start));
    const int length = UnitsToChars(text, static_cast<int>(end)) - startChars;
    if (box.SelStart() == startChars && box.SelLength() == length) return;
    syncing_ = true;
    box.SetSelection(startChars, length);
    syncing_ = false;
}

void Win32FormView::TextBoxMessageSeen(forms::TextBox& box) {
    Win32FormsBackend& backend = backend_;
    try {
        SelectionMoved(box);
    } catch (...) {
        backend.Fail(std::current_exception());
    }
}

void Win32FormView::FocusArrived(HWND child) {
    Control* control = ControlOf(child);
    if (!control || control == form_.ActiveControl()) return;
    focusSyncing_ = true;
    form_.FocusChanged(control);
    focusSyncing_ = false;
}

INT_PTR Win32FormView::ColourFor(HDC dc, HWND child) {
    const Control* control = ControlOf(child);
    if (!control || (!control->ForeColour() && !control->BackColour())) return FALSE;
    if (control->ForeColour()) SetTextColor(dc, ToColorRef(*control->ForeColour()));
    const COLORREF back =
        control->BackColour() ? ToColorRef(*control->BackColour()) : GetSysColor(COLOR_BTNFACE);
    SetBkColor(dc, back);
    return reinterpret_cast<INT_PTR>(BrushFor(back));
}

bool Win32FormView::SetCursorFor(HWND child, int hitTest) {
    const Control* control = ControlOf(child);
    if (!control || hitTest != HTCLIENT ||
        control->Pointer() != forms::MousePointer::PointingHand) {
        return false;
    }
    // The system's own link hand.
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
    return true;
}

}  // namespace platform::win32
