#include "platform/qt/qt_test_support.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_message_box.h"

namespace platform::qt::testing {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "kestrow-qt-test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

forms::UserInterface::BackendFactory QtBackendFactory() {
    return [] { return std::unique_ptr<forms::FormsBackend>(kestrow_create_qt_backend()); };
}

QWidget* FindWindow(const std::string& formNameOrTitle) {
    const QString wanted = QString::fromStdString(formNameOrTitle);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() &&
            (window->objectName() == wanted || window->windowTitle() == wanted)) {
            return window;
        }
    }
    return nullptr;
}

void Click(QWidget* widget) {
    if (!widget) return;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    QCoreApplication::processEvents();
}

void TypeInto(QLineEdit* edit, const std::string& text) {
    if (!edit) return;
    edit->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(edit, QString::fromStdString(text));
    QCoreApplication::processEvents();
}

void PressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    if (!window) return;
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, key, modifiers);
    QCoreApplication::processEvents();
}

std::shared_ptr<AnsweredBox> OnNextMessageBox(std::function<void(QMessageBox&)> act) {
    auto record = std::make_shared<AnsweredBox>();
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, record, act] {
        QMessageBox* box = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* candidate = qobject_cast<QMessageBox*>(window);
            if (candidate && candidate->isVisible()) box = candidate;
        }
        if (!box) return;
        timer->stop();
        timer->deleteLater();
        record->shown = true;
        record->text = box->text().toStdString();
        record->title = box->windowTitle().toStdString();
        record->icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            record->buttons.push_back(Win32Id(box->standardButton(button)));
            if (!button->icon().isNull()) record->buttonsWithPictures++;
        }
        if (box->defaultButton()) {
            record->defaultButton = Win32Id(box->standardButton(box->defaultButton()));
        }
        act(*box);
    });
    timer->start();
    return record;
}

std::shared_ptr<AnsweredBox> AnswerNextMessageBox(int buttonId) {
    return OnNextMessageBox([buttonId](QMessageBox& box) {
        QAbstractButton* answer = box.button(StandardButtonFor(buttonId));
        if (answer) {
            answer->click();
        } else {
            box.reject();
        }
    });
}

}  // namespace platform::qt::testing
