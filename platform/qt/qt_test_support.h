// Helpers for tests that drive the real Qt windows of a program's forms
// (run them with QT_QPA_PLATFORM=offscreen).
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "platform/forms/user_interface.h"
#include "platform/qt/qt_window_driver.h"

namespace platform::qt::testing {

// The visible window of a form, found by the form's name or its caption.
QWidget* FindWindow(const std::string& formNameOrTitle);

// A control's widget in a visible form window (null when there is none).
template <typename T>
T* FindWidget(const std::string& formNameOrTitle, const std::string& controlName) {
    QWidget* window = FindWindow(formNameOrTitle);
    return window ? window->findChild<T*>(QString::fromStdString(controlName)) : nullptr;
}

// A left click in the middle of the widget, then pending events.
void Click(QWidget* widget);
// Focuses the line edit and types text key by key.
void TypeInto(QLineEdit* edit, const std::string& text);
// Presses a key on the focused widget of window (or the window itself).
void PressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// What a message box showed and how it was answered.
struct AnsweredBox {
    bool shown = false;
    std::string text;
    std::string title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    std::vector<int> buttons;  // Win32 ids of the buttons offered
    int defaultButton = 0;     // Win32 id of the default button
    int buttonsWithPictures = 0;
};

// Answers the next message box that appears with the button of the Win32
// id (kIdYes, ...). The record fills in when the box has been answered.
std::shared_ptr<AnsweredBox> AnswerNextMessageBox(int buttonId);

// Runs act on the next message box that appears, as a user would work it
// (keys, clicks); the record fills in before act runs.
std::shared_ptr<AnsweredBox> OnNextMessageBox(std::function<void(QMessageBox&)> act);

}  // namespace platform::qt::testing
