#include "platform/qt/qt_classic_look.h"

#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

namespace platform::qt {

QStyle* ClassicStyle() {
    // Kept for the life of the process: widgets do not own their style.
    static QStyle* const style = QStyleFactory::create("Windows");
    return style;
}

QPalette ClassicPalette() {
    const QColor face(212, 208, 200);
    const QColor shadow(128, 128, 128);
    QPalette palette(Qt::black, face, Qt::white, shadow, QColor(160, 160, 160), Qt::black,
                     Qt::white, Qt::white, face);
    palette.setColor(QPalette::Midlight, face);
    palette.setColor(QPalette::Shadow, QColor(64, 64, 64));
    palette.setColor(QPalette::Highlight, QColor(10, 36, 106));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::Link, QColor(0, 0, 192));
    palette.setColor(QPalette::LinkVisited, QColor(128, 0, 128));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, shadow);
    }
    return palette;
}

void UseClassicLook(QWidget& window) {
    window.setPalette(ClassicPalette());
    QStyle* style = ClassicStyle();
    if (!style) return;
    window.setStyle(style);
    // A widget's style does not pass to its children by itself.
    for (QWidget* child : window.findChildren<QWidget*>()) child->setStyle(style);
}

}  // namespace platform::qt
