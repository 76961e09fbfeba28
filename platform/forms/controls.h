// The controls of the forms model. A control holds its state (caption, value,
// text, selection, tab index, tool tip, font, colours) in twips-based layout
// exactly as a form's layout table gives it; a backend mirrors that state in
// real widgets and reports the user's input back through the same members.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform::forms {

class Form;

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class ControlKind { Frame, OptionButton, Label, TextBox, CommandButton, PictureBox };

// The kinds the Tab key stops at; frames, labels and picture boxes are passed over.
bool TakesFocus(ControlKind kind);

enum class Alignment { Left, Center, Right };

enum class MousePointer { Default, PointingHand };

struct Font {
    std::string name;   // empty: the dialog's default font
    double points = 0;  // 0: the default size
    bool bold = false;
    bool underline = false;
};

// An RGB colour, 0xRRGGBB.
using Colour = std::optional<std::uint32_t>;

class Control {
  public:
    Control(Form& form, Control* container, std::string name, ControlKind kind, TwipsRect rect,
            int tabIndex);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    ControlKind Kind() const { return kind_; }
    Form& Parent() const { return form_; }
    // The frame or picture box holding this control; null when it lies on the form.
    Control* Container() const { return container_; }

    TwipsRect Rect() const { return rect_; }
    int TabIndex() const { return tabIndex_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

    const std::string& ToolTipText() const { return toolTip_; }
    void SetToolTipText(std::string tip);

    const Font& GetFont() const { return font_; }
    void SetFont(Font font);
    Colour ForeColour() const { return foreColour_; }
    Colour BackColour() const { return backColour_; }
    void SetColours(Colour fore, Colour back);
    Alignment TextAlignment() const { return alignment_; }
    void SetTextAlignment(Alignment alignment);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wrap);
    MousePointer Pointer() const { return pointer_; }
    void SetPointer(MousePointer pointer);

    // Moves the focus here (shown forms move the real focus too).
    void SetFocus();
    bool HasFocus() const;

    // Raised by a click of the user (or a test). Handlers are set by the form.
    std::function<void()> OnClick;
    void Click();

  protected:
    void Changed();

  private:
    Form& form_;
    Control* container_;
    std::string name_;
    ControlKind kind_;
    TwipsRect rect_;
    int tabIndex_;
    std::string caption_;
    std::string toolTip_;
    Font font_;
    Colour foreColour_;
    Colour backColour_;
    Alignment alignment_ = Alignment::Left;
    bool wordWrap_ = true;
    MousePointer pointer_ = MousePointer::Default;
};

class Frame : public Control {
  public:
    Frame(Form& form, std::string name, TwipsRect rect, int tabIndex, std::string caption);
};

class Label : public Control {
  public:
    Label(Form& form, Control* container, std::string name, TwipsRect rect, int tabIndex,
          std::string caption);
};

class CommandButton : public Control {
  public:
    CommandButton(Form& form, Control* container, std::string name, TwipsRect rect, int tabIndex,
                  std::string caption, std::string toolTip = {});
};

// Option buttons group by their container: turning one on turns its
// siblings in the same container off.
class OptionButton : public Control {
  public:
    OptionButton(Form& form, Control* container, std::string name, TwipsRect rect, int tabIndex,
                 std::string caption, bool value);

    bool Value() const { return value_; }
    void SetValue(bool on);

  private:
    bool value_;
};

class TextBox : public Control {
  public:
    TextBox(Form& form, std::string name, TwipsRect rect, int tabIndex, int maxLength);

    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    int MaxLength() const { return maxLength_; }

    // Selection in characters.
    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void SetSelection(int start, int length);
    std::string SelectedText() const;

    // What a user's typing does: replaces the selection with text, keeping
    // at most MaxLength characters in the box.
    void Type(const std::string& typed);

  private:
    std::string text_;
    int maxLength_;
    int selStart_ = 0;
    int selLength_ = 0;
};

// A picture box shows an image file (a path relative to the program's
// resources) from its top left corner and may hold other controls.
class PictureBox : public Control {
  public:
    PictureBox(Form& form, std::string name, TwipsRect rect, int tabIndex, std::string picture);
    const std::string& Picture() const { return picture_; }

  private:
    std::string picture_;
};

}  // namespace platform::forms
