#include "qt_help_window.h"

#include <algorithm>

#include <QScreen>
#include <QTextDocument>
#include <QVBoxLayout>

#include "qt_units.h"

namespace platform::qt {

HelpBrowser::HelpBrowser(Resource resource, QWidget* parent)
    : QTextBrowser(parent), resource_(std::move(resource)) {
    setOpenExternalLinks(true);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const QString scheme = name.scheme();
    if (!resource_ || (!scheme.isEmpty() && scheme != "file" && scheme != "qrc")) {
        return QTextBrowser::loadResource(type, name);
    }
    QString path = name.path();
    while (path.startsWith('/')) path.remove(0, 1);
    const std::string bytes = resource_(ToStdString(path));
    if (bytes.empty()) return {};
    const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource) {
        return QString::fromUtf8(data);
    }
    return data;
}

QWidget* CreateHelpWindow(const QString& title, const QString& html, HelpBrowser::Resource resource,
                          QWidget* beside) {
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName("helpWindow");
    window->setWindowTitle(title);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* browser = new HelpBrowser(std::move(resource), window);
    browser->setObjectName("helpBrowser");
    browser->setHtml(html);
    layout->addWidget(browser);
    window->resize(640, 560);

    if (beside) {
        // Beside the dialog, on whichever side has more room, narrowed to fit
        // that side so that the help does not cover the dialog.
        constexpr int kGap = 8;
        constexpr int kNarrowest = 300;
        const QRect anchor = beside->frameGeometry();
        const QScreen* screen = beside->screen();
        const QRect area = screen ? screen->availableGeometry() : QRect();
        QPoint place(anchor.right() + kGap, anchor.top());
        if (area.isValid()) {
            const int roomRight = area.right() - anchor.right() - kGap;
            const int roomLeft = anchor.left() - area.left() - kGap;
            const int room = std::max(roomRight, roomLeft);
            if (room >= kNarrowest)
                window->resize(std::min(window->width(), room), window->height());
            if (roomRight < window->width()) {
                place.setX(roomLeft >= roomRight
                               ? std::max(area.left(), anchor.left() - window->width() - kGap)
                               : area.right() - window->width());
            }
            place.setY(std::clamp(place.y(), area.top(),
                                  std::max(area.top(), area.bottom() - window->height())));
        }
        window->move(place);
    }
    window->show();
    return window;
}

}  // namespace platform::qt
