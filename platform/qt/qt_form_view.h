// A shown form as a Qt top-level window, its controls as widgets. The view
// mirrors the model both ways: Refresh() shows model changes, and the
// widgets' signals write the user's input back, guarded against echoes.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <map>

#include "platform/forms/form.h"
#include "platform/forms/forms_backend.h"

class QKeyEvent;

namespace platform::qt {

class QtBackend;
class QtFormView;

// The window of a form. The close box asks the model to unload the form
// instead of closing the window itself, so that Form_Unload runs once.
class FormWindow : public QWidget {
    Q_OBJECT
  public:
    FormWindow(QWidget* owner, Qt::WindowFlags flags) : QWidget(owner, flags) {}
    QtFormView* view = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
};

// Receives the widgets' signals and the key preview for one view. It
// outlives the view until the event loop deletes it, so a signal that is
// still being delivered when a handler unloads the form finds view == null.
class ViewLink : public QObject {
    Q_OBJECT
  public:
    QtFormView* view = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class QtFormView : public forms::FormView {
  public:
    QtFormView(QtBackend& backend, forms::Form& form, forms::Form* owner, bool modal);
    ~QtFormView() override;

    void Refresh(forms::Control& control) override;
    void Focus(forms::Control& control) override;

    QWidget* Window() const { return window_; }
    forms::Form& GetForm() const { return form_; }
    QWidget* WidgetOf(const forms::Control& control) const;

    // Called by FormWindow and ViewLink.
    void CloseRequested();
    bool KeyPressed(QObject* receiver, QKeyEvent* event);

  private:
    void CreateWidgets();
    QWidget* CreateWidget(forms::Control& control, QWidget* parent);
    void SetTabOrder();
    void PlaceWindow(QWidget* ownerWindow);
    void FocusChangedTo(QWidget* now);
    void TextEdited(forms::TextBox& box);
    void SelectionMoved(forms::TextBox& box);
    void OptionToggled(forms::OptionButton& option, bool checked);
    forms::Control* ControlOf(QWidget* widget) const;

    QtBackend& backend_;
    forms::Form& form_;
    QPointer<FormWindow> window_;
    QPointer<QWidget> ownerWindow_;
    ViewLink* link_;
    std::map<const forms::Control*, QPointer<QWidget>> widgets_;
    bool syncing_ = false;
    bool focusSyncing_ = false;
    double dpi_ = 96.0;
};

// The Windows virtual-key code of a Qt key (0 when it has none) and the
// shift state bits (1 shift, 2 ctrl, 4 alt).
int VirtualKeyCode(int qtKey);
int ShiftState(Qt::KeyboardModifiers modifiers);

}  // namespace platform::qt
