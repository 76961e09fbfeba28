#include "qt_control_widgets.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>

#include "qt_resources.h"
#include "qt_units.h"

namespace platform::qt {

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

PictureBox::PictureBox(const QPixmap& picture, QWidget* parent)
    : QWidget(parent), picture_(picture) {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!picture_.isNull()) painter.drawPixmap(0, 0, picture_);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

namespace {

QString AvailableFamily(const QStringList& wanted) {
    const QStringList families = QFontDatabase::families();
    for (const QString& family : wanted) {
        if (families.contains(family, Qt::CaseInsensitive)) return family;
    }
    return {};
}

}  // namespace

QFont DialogFont() {
    QFont font;
    const QString family = AvailableFamily({"Liberation Sans", "Arial", "DejaVu Sans"});
    if (!family.isEmpty()) font.setFamily(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

QFont ToQFont(const forms::Font& model) {
    QFont font = DialogFont();
    if (!model.name.empty()) {
        // The classic dialog fonts exist on no Linux system; their metric
        // twin keeps the layout.
        const QString family =
            AvailableFamily({ToQString(model.name), "Liberation Sans", "Arial", "DejaVu Sans"});
        if (!family.isEmpty()) font.setFamily(family);
    }
    if (model.points > 0) font.setPointSizeF(model.points);
    font.setBold(model.bold);
    font.setUnderline(model.underline);
    return font;
}

void ApplyLook(QWidget& widget, const forms::Control& control) {
    widget.setFont(ToQFont(control.GetFont()));
    widget.setToolTip(ToQString(control.ToolTipText()));

    QPalette palette = widget.parentWidget() ? widget.parentWidget()->palette() : QPalette();
    if (control.ForeColour()) {
        const QColor fore = QColor::fromRgb(*control.ForeColour());
        palette.setColor(QPalette::WindowText, fore);
        palette.setColor(QPalette::ButtonText, fore);
        palette.setColor(QPalette::Text, fore);
    }
    if (control.BackColour()) {
        const QColor back = QColor::fromRgb(*control.BackColour());
        palette.setColor(QPalette::Window, back);
        palette.setColor(QPalette::Button, back);
        palette.setColor(QPalette::Base, back);
    }
    widget.setPalette(palette);
    widget.setAutoFillBackground(control.BackColour().has_value());

    if (control.Pointer() == forms::MousePointer::PointingHand) {
        widget.setCursor(PointingHandCursor());
    } else {
        widget.unsetCursor();
    }
}

}  // namespace platform::qt
