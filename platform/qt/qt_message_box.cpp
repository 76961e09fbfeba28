#include "platform/qt/qt_message_box.h"

#include <QAbstractButton>
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/forms/message_box.h"
#include "platform/qt/qt_classic_look.h"
#include "platform/qt/qt_control_widgets.h"

namespace platform::qt {

namespace {

constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;

std::vector<QMessageBox::StandardButton> ButtonsForStyle(unsigned style) {
    switch (style & forms::kMbButtonsMask) {
        case forms::kMbOkCancel:
            return {QMessageBox::Ok, QMessageBox::Cancel};
        case 0x02:
            return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
        case 0x03:
            return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
        case forms::kMbYesNo:
            return {QMessageBox::Yes, QMessageBox::No};
        case 0x05:
            return {QMessageBox::Retry, QMessageBox::Cancel};
        default:
            return {QMessageBox::Ok};
    }
}

}  // namespace

namespace {

// The message-box icon styles and the icons Qt shows for them.
constexpr std::pair<unsigned, QMessageBox::Icon> kIcons[] = {
    {forms::kMbIconHand, QMessageBox::Critical},
    {forms::kMbIconQuestion, QMessageBox::Question},
    {forms::kMbIconExclamation, QMessageBox::Warning},
    {forms::kMbIconInformation, QMessageBox::Information},
};

}  // namespace

QMessageBox::Icon IconForStyle(unsigned style) {
    for (const auto& [iconStyle, icon] : kIcons) {
        if ((style & forms::kMbIconMask) == iconStyle) return icon;
    }
    return QMessageBox::NoIcon;
}

unsigned StyleForIcon(QMessageBox::Icon icon) {
    for (const auto& [iconStyle, shown] : kIcons) {
        if (shown == icon) return iconStyle;
    }
    return 0;
}

int Win32Id(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return forms::kIdOk;
        case QMessageBox::Cancel:
            return forms::kIdCancel;
        case QMessageBox::Abort:
            return kIdAbort;
        case QMessageBox::Retry:
            return kIdRetry;
        case QMessageBox::Ignore:
            return kIdIgnore;
        case QMessageBox::Yes:
            return forms::kIdYes;
        case QMessageBox::No:
            return forms::kIdNo;
        default:
            return 0;
    }
}

QMessageBox::StandardButton StandardButtonFor(int win32Id) {
    for (auto button :
         {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Abort, QMessageBox::Retry,
          QMessageBox::Ignore, QMessageBox::Yes, QMessageBox::No}) {
        if (Win32Id(button) == win32Id) return button;
    }
    return QMessageBox::NoButton;
}

int ShowMessageBox(QWidget* parent, const QString& text, unsigned style, const QString& title) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // The text may hold a user's folder name: never read it as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(IconForStyle(style));

    const auto buttons = ButtonsForStyle(style);
    for (auto button : buttons) box.addButton(button);
    const std::size_t defaultIndex = (style >> 8) & 0x3;
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);

    // Escape and the close box answer what changes nothing.
    const int safe = buttons.size() == 3 && buttons[0] == QMessageBox::Abort
                         ? kIdIgnore
                         : forms::SafeAnswer(style & forms::kMbButtonsMask);
    QMessageBox::StandardButton escape = StandardButtonFor(safe);
    if (std::find(buttons.begin(), buttons.end(), escape) == buttons.end()) {
        escape = buttons.back();
    }
    box.setEscapeButton(escape);

    // The buttons lay out in the classic order, Yes before No; they carry
    // no pictures, and Enter or Space presses the one with the focus (the
    // default one until the user tabs away).
    box.setFont(DialogFont());
    UseClassicLook(box);
    for (QAbstractButton* button : box.buttons()) button->setIcon(QIcon());

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    const int answer = clicked ? Win32Id(box.standardButton(clicked)) : 0;
    return answer != 0 ? answer : Win32Id(escape);
}

}  // namespace platform::qt
