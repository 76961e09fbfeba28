// The widgets that stand for the model's controls where a stock Qt widget
// does not behave like the control.
#pragma once

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include "platform/forms/controls.h"

namespace platform::qt {

// A label of a classic dialog: its caption always wraps within its width,
// at spaces where it can and inside a word wider than the label (a long
// folder path), and it reports clicks, for the hyperlink labels.
class ClickableLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

    // The caption's lines as this label paints them.
    QStringList WrappedLines() const;
    // Over a picture: no background, and a white rim around the letters
    // keeps them legible on any part of the picture.
    void SetOverPicture(bool over);
    bool OverPicture() const { return overPicture_; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
    bool overPicture_ = false;
};

// Lines of text broken to fit width: CR LF and LF end a line; within a line
// the break goes after a space, or anywhere in a word wider than width.
QStringList WrapLines(const QString& text, const QFont& font, int width);

// A command button of a dialog without a default button: Enter presses the
// button that has the focus, as Space does.
class CommandButtonWidget : public QPushButton {
    Q_OBJECT
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The focused button wears the default button's dark frame, as in a
    // classic dialog, while it has the focus.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// A picture box: the picture from the top left corner on white, and a
// container for its child controls.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    PictureBox(const QPixmap& picture, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
};

// The dialog font of the forms: the classic 8 point sans.
QFont DialogFont();

// The model's font on top of the dialog font; names this system lacks fall
// back to a sans font of the same size.
QFont ToQFont(const forms::Font& font);

// Font, colours, tool tip, pointer: what every kind of control shares.
void ApplyLook(QWidget& widget, const forms::Control& control);

}  // namespace platform::qt
