#include "platform/qt/qt_control_widgets.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

#include "platform/qt/qt_resources.h"
#include "platform/qt/qt_units.h"

namespace platform::qt {

QStringList WrapLines(const QString& text, const QFont& font, int width) {
    QString plain = text;
    plain.replace("\r\n", "\n");
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& paragraph : plain.split('\n')) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    return lines;
}

void ClickableLabel::SetOverPicture(bool over) {
    overPicture_ = over;
    if (over) setAutoFillBackground(false);
    update();
}

QStringList ClickableLabel::WrappedLines() const {
    return WrapLines(text(), font(), contentsRect().width());
}

void ClickableLabel::paintEvent(QPaintEvent*) {
    // The background, when the label has one, is filled before this.
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    const QRect area = contentsRect();
    const int lineHeight = QFontMetrics(font()).lineSpacing();
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    const QColor ink = painter.pen().color();
    int top = area.top();
    for (QString line : WrappedLines()) {
        // A space the break fell on takes no room at the line's end.
        while (line.endsWith(' ')) line.chop(1);
        const QRect box(area.left(), top, area.width(), lineHeight);
        const int flags = horizontal | Qt::AlignTop | Qt::TextSingleLine;
        if (overPicture_) {
            painter.setPen(Qt::white);
            for (const QPoint step : {QPoint(-1, -1), QPoint(0, -1), QPoint(1, -1), QPoint(-1, 0),
                                      QPoint(1, 0), QPoint(-1, 1), QPoint(0, 1), QPoint(1, 1)}) {
                painter.drawText(box.translated(step), flags, line);
            }
            painter.setPen(ink);
        }
        painter.drawText(box, flags, line);
        top += lineHeight;
        if (top >= area.bottom()) break;
    }
}

void CommandButtonWidget::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !event->isAutoRepeat() &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void CommandButtonWidget::focusInEvent(QFocusEvent* event) {
    setDefault(true);
    QPushButton::focusInEvent(event);
}

void CommandButtonWidget::focusOutEvent(QFocusEvent* event) {
    setDefault(false);
    QPushButton::focusOutEvent(event);
}

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
    // The classic sunken border, inside the box's own edge.
    const QRect edge = rect().adjusted(0, 0, -1, -1);
    painter.setPen(QColor(128, 128, 128));
    painter.drawPolyline(QPolygon({edge.bottomLeft(), edge.topLeft(), edge.topRight()}));
    painter.setPen(Qt::white);
    painter.drawPolyline(QPolygon(
        {edge.topRight() + QPoint(0, 1), edge.bottomRight(), edge.bottomLeft() + QPoint(1, 0)}));
    const QRect inner = edge.adjusted(1, 1, -1, -1);
    painter.setPen(QColor(64, 64, 64));
    painter.drawPolyline(QPolygon({inner.bottomLeft(), inner.topLeft(), inner.topRight()}));
    painter.setPen(QColor(212, 208, 200));
    painter.drawPolyline(QPolygon(
        {inner.topRight() + QPoint(0, 1), inner.bottomRight(), inner.bottomLeft() + QPoint(1, 0)}));
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
