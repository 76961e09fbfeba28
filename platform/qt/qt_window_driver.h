// Drives and inspects the real Qt windows of a program's forms for the tests
// of the program folders, without a Qt type in sight: those tests include no
// Qt header. Run them with QT_QPA_PLATFORM=offscreen.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/user_interface.h"

class QWidget;

namespace platform::qt::testing {

struct AnsweredBox;

// Makes the test program's QApplication unless there is one already.
void EnsureApplication();

// A backend factory for UserInterface that makes the Qt backend directly.
forms::UserInterface::BackendFactory QtBackendFactory();

// Handles the events that are waiting.
void ProcessEvents();

// Twips in pixels at the layout's resolution.
int LayoutPixels(int twips);

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// A window or one of its widgets; empty when none was found.
class WindowWidget {
  public:
    WindowWidget() = default;
    explicit WindowWidget(QWidget* widget) : widget_(widget) {}

    bool Exists() const { return widget_ != nullptr; }
    bool operator==(const WindowWidget& other) const { return widget_ == other.widget_; }

    // A widget inside by its object name.
    WindowWidget Child(const std::string& name) const;
    WindowWidget Parent() const;
    std::string Name() const;

    // The text the user sees: a window's title, a frame's title, a button's
    // caption without its access key mark, a label's or an edit's text, a
    // help page's plain text.
    std::string Text() const;
    std::string ToolTip() const;
    PixelRect Geometry() const;
    bool IsFrame() const;
    bool IsButton() const;
    bool IsEdit() const;
    bool Checked() const;

    // A window's border: fixed size, and its title bar buttons.
    bool FixedSize() const;
    bool HasMinimizeButton() const;
    bool HasMaximizeButton() const;

    // Names of the widgets Tab reaches in this widget's window, from it on.
    std::vector<std::string> TabOrder() const;

    // A line edit's selection; selecting all; typing key by key.
    std::string SelectedText() const;
    void SelectAll();
    void Type(const std::string& text);

    // A left click in the middle, then pending events.
    void Click();
    // A click where a user aims at an option: its round indicator. False
    // when this is no option.
    bool ClickIndicator();

    // A caption's lines as wrapped, and whether each fits its width and all
    // of them its height.
    std::vector<std::string> WrappedLines() const;
    bool WrappedLinesFit() const;

    // The items of a list or the top items of a tree.
    int ItemCount() const;
    std::string ItemText(int index) const;

  private:
    QWidget* widget_ = nullptr;
};

// The visible window of a form, found by the form's name or its caption.
WindowWidget WindowOf(const std::string& formNameOrTitle);
// A control in a visible form window.
WindowWidget ControlOf(const std::string& formNameOrTitle, const std::string& controlName);

// A message box that the test answers, as it was shown; it fills in when the
// box has been answered.
class BoxRecord {
  public:
    explicit BoxRecord(std::shared_ptr<AnsweredBox> box) : box_(std::move(box)) {}
    bool Shown() const;
    std::string Text() const;
    std::string Title() const;
    unsigned IconStyle() const;  // forms::kMbIcon..., 0 for none
    int DefaultButton() const;   // Win32 id

  private:
    std::shared_ptr<AnsweredBox> box_;
};

// Answers the next message box with the button of the Win32 id (kIdYes, ...).
BoxRecord AnswerNextBox(int buttonId);

}  // namespace platform::qt::testing
