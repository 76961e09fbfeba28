#include "platform/qt/qt_window_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include "platform/forms/message_box.h"
#include "platform/qt/qt_control_widgets.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_test_support.h"
#include "platform/qt/qt_units.h"

namespace platform::qt::testing {

void ProcessEvents() { QApplication::processEvents(); }

int LayoutPixels(int twips) { return qRound(twips * LayoutDpi() / 1440.0); }

WindowWidget WindowOf(const std::string& formNameOrTitle) {
    return WindowWidget(FindWindow(formNameOrTitle));
}

WindowWidget ControlOf(const std::string& formNameOrTitle, const std::string& controlName) {
    return WindowWidget(FindWidget<QWidget>(formNameOrTitle, controlName));
}

WindowWidget WindowWidget::Child(const std::string& name) const {
    return WindowWidget(widget_ ? widget_->findChild<QWidget*>(QString::fromStdString(name))
                                : nullptr);
}

WindowWidget WindowWidget::Parent() const {
    return WindowWidget(widget_ ? widget_->parentWidget() : nullptr);
}

std::string WindowWidget::Name() const {
    return widget_ ? widget_->objectName().toStdString() : std::string();
}

std::string WindowWidget::Text() const {
    if (!widget_) return {};
    if (widget_->isWindow()) return widget_->windowTitle().toStdString();
    if (auto* frame = qobject_cast<QGroupBox*>(widget_)) return frame->title().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(widget_)) {
        return button->text().remove('&').toStdString();
    }
    if (auto* label = qobject_cast<QLabel*>(widget_)) return label->text().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(widget_)) return edit->text().toStdString();
    if (auto* browser = qobject_cast<QTextBrowser*>(widget_)) {
        return browser->toPlainText().toStdString();
    }
    return {};
}

std::string WindowWidget::ToolTip() const {
    return widget_ ? widget_->toolTip().toStdString() : std::string();
}

PixelRect WindowWidget::Geometry() const {
    if (!widget_) return {};
    const QRect rect = widget_->geometry();
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

bool WindowWidget::IsFrame() const { return qobject_cast<QGroupBox*>(widget_) != nullptr; }

bool WindowWidget::IsButton() const { return qobject_cast<QAbstractButton*>(widget_) != nullptr; }

bool WindowWidget::IsEdit() const { return qobject_cast<QLineEdit*>(widget_) != nullptr; }

bool WindowWidget::Checked() const {
    auto* button = qobject_cast<QAbstractButton*>(widget_);
    return button && button->isChecked();
}

bool WindowWidget::FixedSize() const {
    return widget_ && widget_->minimumSize() == widget_->maximumSize();
}

bool WindowWidget::HasMinimizeButton() const {
    return widget_ && (widget_->windowFlags() & Qt::WindowMinimizeButtonHint);
}

bool WindowWidget::HasMaximizeButton() const {
    return widget_ && (widget_->windowFlags() & Qt::WindowMaximizeButtonHint);
}

std::vector<std::string> WindowWidget::TabOrder() const {
    std::vector<std::string> chain;
    if (!widget_) return chain;
    QWidget* widget = widget_;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && !widget->objectName().isEmpty() &&
            widget->window() == widget_->window()) {
            chain.push_back(widget->objectName().toStdString());
        }
        widget = widget->nextInFocusChain();
    } while (widget && widget != widget_ && chain.size() < 64);
    return chain;
}

std::string WindowWidget::SelectedText() const {
    auto* edit = qobject_cast<QLineEdit*>(widget_);
    return edit ? edit->selectedText().toStdString() : std::string();
}

void WindowWidget::SelectAll() {
    if (auto* edit = qobject_cast<QLineEdit*>(widget_)) edit->selectAll();
}

void WindowWidget::Type(const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget_)) TypeInto(edit, text);
}

void WindowWidget::Click() { platform::qt::testing::Click(widget_); }

bool WindowWidget::ClickIndicator() {
    if (!qobject_cast<QRadioButton*>(widget_)) return false;
    QTest::mouseClick(widget_, Qt::LeftButton, Qt::NoModifier, QPoint(6, widget_->height() / 2));
    QApplication::processEvents();
    return true;
}

std::vector<std::string> WindowWidget::WrappedLines() const {
    std::vector<std::string> lines;
    if (auto* label = qobject_cast<ClickableLabel*>(widget_)) {
        for (const QString& line : label->WrappedLines()) lines.push_back(line.toStdString());
    }
    return lines;
}

bool WindowWidget::WrappedLinesFit() const {
    auto* label = qobject_cast<ClickableLabel*>(widget_);
    if (!label) return false;
    const QStringList lines = label->WrappedLines();
    const QFontMetrics metrics(label->font());
    if (lines.size() * metrics.lineSpacing() > label->height()) return false;
    for (const QString& line : lines) {
        if (metrics.horizontalAdvance(line) > label->contentsRect().width()) return false;
    }
    return true;
}

int WindowWidget::ItemCount() const {
    if (auto* tree = qobject_cast<QTreeWidget*>(widget_)) return tree->topLevelItemCount();
    if (auto* list = qobject_cast<QListWidget*>(widget_)) return list->count();
    return 0;
}

std::string WindowWidget::ItemText(int index) const {
    if (auto* tree = qobject_cast<QTreeWidget*>(widget_)) {
        QTreeWidgetItem* item = tree->topLevelItem(index);
        return item ? item->text(0).toStdString() : std::string();
    }
    if (auto* list = qobject_cast<QListWidget*>(widget_)) {
        QListWidgetItem* item = list->item(index);
        return item ? item->text().toStdString() : std::string();
    }
    return {};
}

bool BoxRecord::Shown() const { return box_->shown; }
std::string BoxRecord::Text() const { return box_->text; }
std::string BoxRecord::Title() const { return box_->title; }
int BoxRecord::DefaultButton() const { return box_->defaultButton; }

unsigned BoxRecord::IconStyle() const { return StyleForIcon(box_->icon); }

BoxRecord AnswerNextBox(int buttonId) { return BoxRecord(AnswerNextMessageBox(buttonId)); }

}  // namespace platform::qt::testing
