// A shown form as a modeless dialog, its controls as child windows placed
// from the twips table. The view mirrors the model both ways: Refresh() shows
// model changes, and the controls' notifications write the user's input
// back, guarded against echoes.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/forms_backend.h"
#include "platform/win32/forms/win32_picture_box.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

class Win32FormsBackend;

class Win32FormView : public forms::FormView {
  public:
    Win32FormView(Win32FormsBackend& backend, forms::Form& form, forms::Form* owner, bool modal);
    ~Win32FormView() override;

    void Refresh(forms::Control& control) override;
    void Focus(forms::Control& control) override;

    HWND Window() const { return dialog_; }
    forms::Form& GetForm() const { return form_; }
    HWND WindowOf(const forms::Control& control) const;
    forms::Control* ControlOf(HWND window) const;
    int Dpi() const { return dpi_; }

    // Key preview: the form sees a key before its control. False when the
    // key must go no further (the form closed itself).
    bool PreviewKey(const MSG& message);

    // The dialog procedure and the text box's subclass procedure.
    INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void TextBoxMessageSeen(forms::TextBox& box);

  private:
    struct ChildWindow {
        HWND window = nullptr;
        WNDPROC originalProc = nullptr;  // text boxes only
    };

    void CreateChildren();
    // GDI objects and icons the view made; its windows must be gone first.
    void ReleaseResources();
    HWND CreateChild(forms::Control& control, int x, int y, int width, int height, bool group,
                     int id);
    void PlaceWindow(HWND ownerWindow, int clientWidth, int clientHeight);
    void SetIcon();
    void DisableOthers(HWND ownerWindow);
    void AddToolTip(forms::Control& control, HWND window);
    HFONT FontFor(const forms::Font& font);
    HBRUSH BrushFor(COLORREF colour);
    void UpdateOptionTabStops();

    void Command(int code, HWND child);
    void OptionClicked(forms::OptionButton& option);
    void TextEdited(forms::TextBox& box);
    void SelectionMoved(forms::TextBox& box);
    void FocusArrived(HWND child);
    INT_PTR ColourFor(HDC dc, HWND child);
    bool SetCursorFor(HWND child, int hitTest);

    Win32FormsBackend& backend_;
    forms::Form& form_;
    HWND dialog_ = nullptr;
    HWND toolTip_ = nullptr;
    HFONT dialogFont_ = nullptr;
    int dpi_ = 96;
    std::map<const forms::Control*, ChildWindow> children_;
    std::map<std::tuple<std::wstring, int, bool, bool>, GdiObject<HFONT>> fonts_;
    std::map<COLORREF, GdiObject<HBRUSH>> brushes_;
    std::map<const forms::Control*, std::unique_ptr<PictureBoxState>> pictures_;
    std::vector<HWND> disabled_;  // windows this modal view disabled
    IconHandle smallIcon_;
    IconHandle bigIcon_;
    bool syncing_ = false;
    bool focusSyncing_ = false;
    // Cleared when the view goes: a notification still on the stack when a
    // handler unloads the form sees it and stops.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace platform::win32
