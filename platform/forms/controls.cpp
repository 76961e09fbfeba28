#include "platform/forms/controls.h"

#include <algorithm>
#include <utility>

#include "platform/forms/form.h"
#include "platform/text/text.h"

namespace platform::forms {

bool TakesFocus(ControlKind kind) {
    return kind == ControlKind::TextBox || kind == ControlKind::CommandButton ||
           kind == ControlKind::OptionButton;
}

Control::Control(Form& form, Control* container, std::string name, ControlKind kind, TwipsRect rect,
                 int tabIndex)
    : form_(form),
      container_(container),
      name_(std::move(name)),
      kind_(kind),
      rect_(rect),
      tabIndex_(tabIndex) {
    form_.Register(*this);
}

void Control::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    Changed();
}

void Control::SetToolTipText(std::string tip) {
    toolTip_ = std::move(tip);
    Changed();
}

void Control::SetFont(Font font) {
    font_ = std::move(font);
    Changed();
}

void Control::SetColours(Colour fore, Colour back) {
    foreColour_ = fore;
    backColour_ = back;
    Changed();
}

void Control::SetTextAlignment(Alignment alignment) {
    alignment_ = alignment;
    Changed();
}

void Control::SetWordWrap(bool wrap) {
    wordWrap_ = wrap;
    Changed();
}

void Control::SetPointer(MousePointer pointer) {
    pointer_ = pointer;
    Changed();
}

void Control::SetFocus() { form_.FocusChanged(this); }

bool Control::HasFocus() const { return form_.ActiveControl() == this; }

void Control::Click() {
    if (OnClick) OnClick();
}

void Control::Changed() { form_.ControlChanged(*this); }

Frame::Frame(Form& form, std::string name, TwipsRect rect, int tabIndex, std::string caption)
    : Control(form, nullptr, std::move(name), ControlKind::Frame, rect, tabIndex) {
    SetCaption(std::move(caption));
}

Label::Label(Form& form, Control* container, std::string name, TwipsRect rect, int tabIndex,
             std::string caption)
    : Control(form, container, std::move(name), ControlKind::Label, rect, tabIndex) {
    SetCaption(std::move(caption));
}

CommandButton::CommandButton(Form& form, Control* container, std::string name, TwipsRect rect,
                             int tabIndex, std::string caption, std::string toolTip)
    : Control(form, container, std::move(name), ControlKind::CommandButton, rect, tabIndex) {
    SetCaption(std::move(caption));
    SetToolTipText(std::move(toolTip));
}

OptionButton::OptionButton(Form& form, Control* container, std::string name, TwipsRect rect,
                           int tabIndex, std::string caption, bool value)
    : Control(form, container, std::move(name), ControlKind::OptionButton, rect, tabIndex),
      value_(value) {
    SetCaption(std::move(caption));
}

void OptionButton::SetValue(bool on) {
    if (on) {
        for (Control* sibling : Parent().Controls()) {
            if (sibling != this && sibling->Kind() == ControlKind::OptionButton &&
                sibling->Container() == Container()) {
                auto* option = static_cast<OptionButton*>(sibling);
                if (option->value_) {
                    option->value_ = false;
                    option->Changed();
                }
            }
        }
    }
    if (value_ != on) {
        value_ = on;
        Changed();
    }
}

TextBox::TextBox(Form& form, std::string name, TwipsRect rect, int tabIndex, int maxLength)
    : Control(form, nullptr, std::move(name), ControlKind::TextBox, rect, tabIndex),
      maxLength_(maxLength) {}

void TextBox::SetText(std::string newText) {
    text_ = std::move(newText);
    selStart_ = std::min<int>(selStart_, static_cast<int>(text::Length(text_)));
    selLength_ = 0;
    Changed();
}

void TextBox::SetSelection(int start, int length) {
    const int size = static_cast<int>(text::Length(text_));
    selStart_ = std::clamp(start, 0, size);
    selLength_ = std::clamp(length, 0, size - selStart_);
    Changed();
}

std::string TextBox::SelectedText() const {
    return text::Mid(text_, static_cast<std::size_t>(selStart_),
                     static_cast<std::size_t>(selLength_));
}

void TextBox::Type(const std::string& typed) {
    const std::string before = text::Left(text_, static_cast<std::size_t>(selStart_));
    const std::string after = text::Mid(text_, static_cast<std::size_t>(selStart_ + selLength_));
    std::string insert = typed;
    if (maxLength_ > 0) {
        const auto room = static_cast<std::size_t>(maxLength_) -
                          std::min<std::size_t>(static_cast<std::size_t>(maxLength_),
                                                text::Length(before) + text::Length(after));
        insert = text::Left(insert, room);
    }
    text_ = before + insert + after;
    selStart_ = static_cast<int>(text::Length(before) + text::Length(insert));
    selLength_ = 0;
    Changed();
}

PictureBox::PictureBox(Form& form, std::string name, TwipsRect rect, int tabIndex,
                       std::string picture)
    : Control(form, nullptr, std::move(name), ControlKind::PictureBox, rect, tabIndex),
      picture_(std::move(picture)) {}

}  // namespace platform::forms
