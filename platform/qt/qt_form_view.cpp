#include "platform/qt/qt_form_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>

#include "platform/forms/user_interface.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_classic_look.h"
#include "platform/qt/qt_control_widgets.h"
#include "platform/qt/qt_resources.h"
#include "platform/qt/qt_units.h"

namespace platform::qt {

using forms::Control;
using forms::ControlKind;

void FormWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (view) view->CloseRequested();
}

bool ViewLink::eventFilter(QObject* watched, QEvent* event) {
    if (view && event->type() == QEvent::KeyPress) {
        return view->KeyPressed(watched, static_cast<QKeyEvent*>(event));
    }
    return false;
}

namespace {

Qt::WindowFlags WindowFlagsFor(const forms::FormStyle& style, bool hasOwner) {
    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    // An owned window stays with its owner and out of the taskbar; an
    // unowned one leaves the taskbar by being a tool window.
    if (hasOwner) {
        flags |= Qt::Dialog;
    } else if (!style.showInTaskbar) {
        flags |= Qt::Tool;
    } else {
        flags |= Qt::Window;
    }
    if (style.minButton) flags |= Qt::WindowMinimizeButtonHint;
    if (style.maxButton) flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

Qt::Alignment ToQtAlignment(forms::Alignment alignment) {
    switch (alignment) {
        case forms::Alignment::Center:
            return Qt::AlignHCenter | Qt::AlignTop;
        case forms::Alignment::Right:
            return Qt::AlignRight | Qt::AlignTop;
        default:
            return Qt::AlignLeft | Qt::AlignTop;
    }
}

}  // namespace

QtFormView::QtFormView(QtBackend& backend, forms::Form& form, forms::Form* owner, bool modal)
    : backend_(backend), form_(form), link_(new ViewLink) {
    link_->view = this;
    dpi_ = LayoutDpi();
    if (owner) {
        if (auto* ownerView = dynamic_cast<QtFormView*>(owner->View())) {
            ownerWindow_ = ownerView->Window();
        }
    }
    const forms::FormStyle& style = form.Style();
    window_ = new FormWindow(ownerWindow_, WindowFlagsFor(style, ownerWindow_ != nullptr));
    window_->view = this;
    window_->setObjectName(ToQString(form.Name()));
    window_->setWindowTitle(ToQString(style.caption));
    window_->setFont(DialogFont());
    // Before the controls, which take their colours from their parents.
    window_->setPalette(ClassicPalette());
    window_->setFixedSize(TwipsToPixels(style.clientWidth, dpi_),
                          TwipsToPixels(style.clientHeight, dpi_));
    if (!style.icon.empty()) window_->setWindowIcon(LoadIcon(ToQString(style.icon)));
    if (modal) window_->setWindowModality(ownerWindow_ ? Qt::WindowModal : Qt::ApplicationModal);

    CreateWidgets();
    UseClassicLook(*window_);
    SetTabOrder();
    for (Control* control : form_.Controls()) Refresh(*control);

    if (style.keyPreview) qApp->installEventFilter(link_);
    QObject::connect(qApp, &QApplication::focusChanged, link_,
                     [link = link_](QWidget*, QWidget* now) {
                         if (link->view) link->view->FocusChangedTo(now);
                     });

    PlaceWindow(ownerWindow_);
    backend_.ViewOpened(*this);
    window_->show();
    window_->raise();
    window_->activateWindow();

    if (Control* first = form_.FirstFocus()) Focus(*first);
}

QtFormView::~QtFormView() {
    link_->view = nullptr;
    qApp->removeEventFilter(link_);
    link_->deleteLater();
    if (window_) {
        window_->view = nullptr;
        // A handler of this window may be running: the event loop deletes it.
        window_->hide();
        window_->deleteLater();
    }
    if (ownerWindow_ && ownerWindow_->isVisible()) {
        ownerWindow_->raise();
        ownerWindow_->activateWindow();
    }
    backend_.ViewClosed(*this);
}

void QtFormView::CreateWidgets() {
    for (Control* control : form_.Controls()) {
        QWidget* parent = window_;
        if (Control* container = control->Container()) {
            if (QWidget* containerWidget = WidgetOf(*container)) parent = containerWidget;
        }
        QWidget* widget = CreateWidget(*control, parent);
        widget->setObjectName(ToQString(control->Name()));
        // A frame's children sit relative to its outer corner, as Qt places them.
        widget->setGeometry(TwipsToPixels(control->Rect(), dpi_));
        widget->setFocusPolicy(TakesFocus(control->Kind()) ? Qt::StrongFocus : Qt::NoFocus);
        widgets_[control] = widget;
    }
}

QWidget* QtFormView::CreateWidget(Control& control, QWidget* parent) {
    ViewLink* link = link_;
    switch (control.Kind()) {
        case ControlKind::Frame:
            // The classic style etches the frame and breaks its top edge,
            // half a line down, with the caption.
            return new QGroupBox(parent);
        case ControlKind::OptionButton: {
            auto& option = static_cast<forms::OptionButton&>(control);
            auto* radio = new QRadioButton(parent);
            QObject::connect(radio, &QRadioButton::toggled, link, [link, &option](bool checked) {
                if (link->view) link->view->OptionToggled(option, checked);
            });
            return radio;
        }
        case ControlKind::Label: {
            auto* label = new ClickableLabel(parent);
            label->setTextFormat(Qt::PlainText);
            QObject::connect(label, &ClickableLabel::clicked, link, [link, &control] {
                if (link->view) control.Click();
            });
            return label;
        }
        case ControlKind::TextBox: {
            auto& box = static_cast<forms::TextBox&>(control);
            auto* edit = new QLineEdit(parent);
            // Qt counts UTF-16 units; TextEdited cuts to characters.
            if (box.MaxLength() > 0) edit->setMaxLength(2 * box.MaxLength());
            QObject::connect(edit, &QLineEdit::textEdited, link, [link, &box] {
                if (link->view) link->view->TextEdited(box);
            });
            QObject::connect(edit, &QLineEdit::selectionChanged, link, [link, &box] {
                if (link->view) link->view->SelectionMoved(box);
            });
            QObject::connect(edit, &QLineEdit::cursorPositionChanged, link, [link, &box] {
                if (link->view) link->view->SelectionMoved(box);
            });
            return edit;
        }
        case ControlKind::CommandButton: {
            auto* button = new CommandButtonWidget(parent);
            // No button is the dialog's default: Enter presses the focused one.
            button->setAutoDefault(false);
            button->setDefault(false);
            QObject::connect(button, &QPushButton::clicked, link, [link, &control] {
                if (link->view) control.Click();
            });
            return button;
        }
        case ControlKind::PictureBox: {
            const auto& box = static_cast<forms::PictureBox&>(control);
            return new PictureBox(LoadPicture(ToQString(box.Picture())), parent);
        }
    }
    return new QWidget(parent);
}

void QtFormView::SetTabOrder() {
    std::vector<Control*> order;
    for (Control* control : form_.Controls()) {
        if (TakesFocus(control->Kind())) order.push_back(control);
    }
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        return a->TabIndex() < b->TabIndex();
    });
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(WidgetOf(*order[i - 1]), WidgetOf(*order[i]));
    }
}

void QtFormView::PlaceWindow(QWidget* ownerWindow) {
    QRect area;
    if (form_.Style().position == forms::StartUpPosition::CenterOwner && ownerWindow) {
        area = ownerWindow->frameGeometry();
    } else {
        QScreen* screen = ownerWindow ? ownerWindow->screen() : QGuiApplication::primaryScreen();
        if (screen) area = screen->availableGeometry();
    }
    if (area.isValid()) {
        QRect frame(QPoint(0, 0), window_->size());
        frame.moveCenter(area.center());
        window_->move(frame.topLeft());
    }
}

QWidget* QtFormView::WidgetOf(const Control& control) const {
    auto found = widgets_.find(&control);
    return found == widgets_.end() ? nullptr : found->second.data();
}

Control* QtFormView::ControlOf(QWidget* widget) const {
    for (; widget && widget != window_; widget = widget->parentWidget()) {
        for (const auto& [control, known] : widgets_) {
            if (known == widget) return const_cast<Control*>(control);
        }
    }
    return nullptr;
}

void QtFormView::Refresh(Control& control) {
    QWidget* widget = WidgetOf(control);
    if (!widget || syncing_) return;
    syncing_ = true;
    ApplyLook(*widget, control);
    const QString caption = ToQString(control.Caption());
    switch (control.Kind()) {
        case ControlKind::Frame:
            static_cast<QGroupBox*>(widget)->setTitle(caption);
            break;
        case ControlKind::OptionButton: {
            auto* radio = static_cast<QRadioButton*>(widget);
            radio->setText(caption);
            const bool on = static_cast<forms::OptionButton&>(control).Value();
            if (radio->isChecked() != on) {
                // An exclusive radio cannot be turned off directly.
                radio->setAutoExclusive(false);
                radio->setChecked(on);
                radio->setAutoExclusive(true);
            }
            break;
        }
        case ControlKind::Label: {
            auto* label = static_cast<ClickableLabel*>(widget);
            // The picture shows through behind the labels it holds.
            const Control* container = control.Container();
            label->SetOverPicture(container && container->Kind() == ControlKind::PictureBox);
            label->setText(caption);
            label->setWordWrap(control.WordWrap());
            label->setAlignment(ToQtAlignment(control.TextAlignment()));
            break;
        }
        case ControlKind::TextBox: {
            auto* edit = static_cast<QLineEdit*>(widget);
            const auto& box = static_cast<forms::TextBox&>(control);
            const QString text = ToQString(box.Text());
            if (edit->text() != text) edit->setText(text);
            const int start = CharsToUtf16(text, box.SelStart());
            const int end = CharsToUtf16(text, box.SelStart() + box.SelLength());
            if (end > start) {
                edit->setSelection(start, end - start);
            } else {
                edit->setCursorPosition(start);
            }
            break;
        }
        case ControlKind::CommandButton:
            static_cast<QPushButton*>(widget)->setText(caption);
            break;
        case ControlKind::PictureBox:
            if (!control.BackColour()) {
                QPalette palette = widget->palette();
                palette.setColor(QPalette::Window, Qt::white);
                widget->setPalette(palette);
                widget->setAutoFillBackground(true);
            }
            break;
    }
    syncing_ = false;
}

void QtFormView::Focus(Control& control) {
    if (focusSyncing_) return;
    QWidget* widget = WidgetOf(control);
    if (widget && !widget->hasFocus()) widget->setFocus(Qt::OtherFocusReason);
}

void QtFormView::CloseRequested() { form_.Ui().Unload(form_); }

bool QtFormView::KeyPressed(QObject* receiver, QKeyEvent* event) {
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || widget->window() != window_) return false;
    // An unhandled key travels on to the parents: see it only once, where
    // it starts.
    QWidget* focused = QApplication::focusWidget();
    if (focused && focused->window() == window_ ? widget != focused : widget != window_) {
        return false;
    }
    const int keyCode = VirtualKeyCode(event->key());
    if (keyCode == 0) return false;
    ViewLink* link = link_;
    form_.KeyDown(keyCode, ShiftState(event->modifiers()));
    // The form was unloaded by its key handler: the key goes nowhere else.
    return link->view == nullptr;
}

void QtFormView::FocusChangedTo(QWidget* now) {
    if (!now || now->window() != window_) return;
    Control* control = ControlOf(now);
    if (!control || control == form_.ActiveControl()) return;
    focusSyncing_ = true;
    form_.FocusChanged(control);
    focusSyncing_ = false;
}

void QtFormView::TextEdited(forms::TextBox& box) {
    auto* edit = static_cast<QLineEdit*>(WidgetOf(box));
    if (!edit || syncing_) return;
    syncing_ = true;
    QString text = edit->text();
    const int excess = Utf16ToChars(text, static_cast<int>(text.size())) - box.MaxLength();
    if (box.MaxLength() > 0 && excess > 0) {
        // Keep the start of what was typed or pasted, as the model's Type does.
        const int cursor = edit->cursorPosition();
        const int from = CharsToUtf16(text, Utf16ToChars(text, cursor) - excess);
        text.remove(from, cursor - from);
        edit->setText(text);
        edit->setCursorPosition(from);
    }
    box.SetText(ToStdString(text));
    syncing_ = false;
    SelectionMoved(box);
}

void QtFormView::SelectionMoved(forms::TextBox& box) {
    auto* edit = static_cast<QLineEdit*>(WidgetOf(box));
    if (!edit || syncing_) return;
    syncing_ = true;
    const QString text = edit->text();
    int start = edit->cursorPosition();
    int length = 0;
    if (edit->hasSelectedText()) {
        start = edit->selectionStart();
        length = edit->selectedText().size();
    }
    const int startChars = Utf16ToChars(text, start);
    box.SetSelection(startChars, Utf16ToChars(text, start + length) - startChars);
    syncing_ = false;
}

void QtFormView::OptionToggled(forms::OptionButton& option, bool checked) {
    if (syncing_) return;
    syncing_ = true;
    option.SetValue(checked);
    syncing_ = false;
    // The model may have decided otherwise about the siblings.
    for (Control* control : form_.Controls()) {
        if (control->Kind() == ControlKind::OptionButton) Refresh(*control);
    }
    if (checked) option.Click();
}

int VirtualKeyCode(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Backspace:
            return 0x08;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 0x09;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 0x0D;
        case Qt::Key_Shift:
            return 0x10;
        case Qt::Key_Control:
            return 0x11;
        case Qt::Key_Alt:
            return 0x12;
        case Qt::Key_Pause:
            return 0x13;
        case Qt::Key_Escape:
            return 0x1B;
        case Qt::Key_Space:
            return 0x20;
        case Qt::Key_PageUp:
            return 0x21;
        case Qt::Key_PageDown:
            return 0x22;
        case Qt::Key_End:
            return 0x23;
        case Qt::Key_Home:
            return 0x24;
        case Qt::Key_Left:
            return 0x25;
        case Qt::Key_Up:
            return 0x26;
        case Qt::Key_Right:
            return 0x27;
        case Qt::Key_Down:
            return 0x28;
        case Qt::Key_Insert:
            return 0x2D;
        case Qt::Key_Delete:
            return 0x2E;
        default:
            return 0;
    }
}

int ShiftState(Qt::KeyboardModifiers modifiers) {
    return ((modifiers & Qt::ShiftModifier) ? 1 : 0) | ((modifiers & Qt::ControlModifier) ? 2 : 0) |
           ((modifiers & Qt::AltModifier) ? 4 : 0);
}

}  // namespace platform::qt
