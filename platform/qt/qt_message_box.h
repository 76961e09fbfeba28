// Message boxes with Win32 styles and answers.
#pragma once

#include <QMessageBox>
#include <QString>

namespace platform::qt {

QMessageBox::Icon IconForStyle(unsigned style);

// The icon style a shown icon stands for; 0 for none.
unsigned StyleForIcon(QMessageBox::Icon icon);

// Shows the box modal over parent (or the screen) and returns the Win32 id
// of the button pressed; closing it gives the answer that changes nothing.
int ShowMessageBox(QWidget* parent, const QString& text, unsigned style, const QString& title);

// The Win32 id of a standard button, and back.
int Win32Id(QMessageBox::StandardButton button);
QMessageBox::StandardButton StandardButtonFor(int win32Id);

}  // namespace platform::qt
