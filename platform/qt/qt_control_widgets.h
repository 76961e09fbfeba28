// The widgets that stand for the model's controls where a stock Qt widget
// does not behave like the control.
#pragma once

#include <QFont>
#include <QLabel>
#include <QWidget>

#include "forms/controls.h"

namespace platform::qt {

// A label that reports clicks, like a hyperlink label of a classic dialog.
class ClickableLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
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
