// The look of the dialogs the layouts were drawn for: the classic Windows
// style of Qt (etched frames, bevelled buttons, dotted focus rectangles) in
// the classic grey, set on the program's own windows only, so that the
// platform's folder browser keeps the desktop's look.
#pragma once

#include <QPalette>

class QStyle;
class QWidget;

namespace platform::qt {

// The classic style, made once; null when this Qt lacks it.
QStyle* ClassicStyle();

// Button face grey, white boxes, navy selection.
QPalette ClassicPalette();

// Style and palette on window and every widget it holds now.
void UseClassicLook(QWidget& window);

}  // namespace platform::qt
