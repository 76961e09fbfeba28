#include "platform/qt/qt_help_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "platform/qt/qt_classic_look.h"
#include "platform/qt/qt_control_widgets.h"
#include "platform/qt/qt_units.h"

namespace platform::qt {

namespace {

constexpr int kTopicRole = Qt::UserRole;

// A topic's path without the anchor, as the lists compare pages.
QString PageOf(const QString& topic) {
    QString page = topic.section('#', 0, 0);
    while (page.startsWith('/')) page.remove(0, 1);
    return page;
}

QToolButton* MakeToolButton(QWidget* parent, const char* name, const QString& text,
                            QStyle::StandardPixmap icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    return button;
}

// The top of the Index and Search tabs: a prompt over the line typed in.
QLineEdit* AddPromptedLine(QVBoxLayout* layout, const char* prompt, const char* name) {
    QWidget* tab = layout->parentWidget();
    layout->addWidget(new QLabel(prompt, tab));
    auto* line = new QLineEdit(tab);
    line->setObjectName(name);
    layout->addWidget(line);
    return line;
}

}  // namespace

HelpBrowser::HelpBrowser(Resource resource, QWidget* parent)
    : QTextBrowser(parent), resource_(std::move(resource)) {
    setOpenExternalLinks(true);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const QString scheme = name.scheme();
    if (!resource_ || (!scheme.isEmpty() && scheme != "file" && scheme != "qrc")) {
        return QTextBrowser::loadResource(type, name);
    }
    // Pages opened by their path give names from the file's root ("/x.htm").
    const std::string bytes = resource_(ToStdString(name.path()));
    if (bytes.empty()) return {};
    const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource) {
        return QString::fromUtf8(data);
    }
    return data;
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    const QUrl shown = source();
    const bool relative = name.isRelative() && !name.path().startsWith('/');
    QTextBrowser::doSetSource(relative && !shown.isEmpty() ? shown.resolved(name) : name, type);
}

HelpWindow::HelpWindow(const forms::HelpDocument& document) : QWidget(nullptr, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("helpWindow");
    setWindowTitle(ToQString(document.title));
    UseClassicLook(*this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);
    auto* tools = new QHBoxLayout;
    QToolButton* back = MakeToolButton(this, "helpBack", "Back", QStyle::SP_ArrowBack);
    QToolButton* forward = MakeToolButton(this, "helpForward", "Forward", QStyle::SP_ArrowForward);
    QToolButton* home = MakeToolButton(this, "helpHome", "Home", QStyle::SP_DirHomeIcon);
    tools->addWidget(back);
    tools->addWidget(forward);
    tools->addWidget(home);
    tools->addStretch();
    layout->addLayout(tools);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    tabs_ = new QTabWidget(splitter);
    tabs_->setObjectName("helpTabs");
    browser_ = new HelpBrowser(document.resource, splitter);
    browser_->setObjectName("helpBrowser");
    tabs_->addTab(MakeContentsTab(document), "Contents");
    tabs_->addTab(MakeIndexTab(document), "Index");
    tabs_->addTab(MakeSearchTab(), "Search");
    splitter->addWidget(tabs_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 520});
    layout->addWidget(splitter);

    for (const auto* list : {&document.contents, &document.index}) {
        for (const forms::HelpEntry& entry : *list) {
            const QString page = PageOf(ToQString(entry.topic));
            if (page.isEmpty()) continue;
            const bool known =
                std::any_of(topics_.begin(), topics_.end(),
                            [&page](const auto& topic) { return topic.first == page; });
            if (!known) topics_.emplace_back(page, ToQString(entry.name));
        }
    }

    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, browser_, &QTextBrowser::home);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this](const QUrl& source) { MarkInContents(source); });

    // Opened by its path, the first topic is the start of the history and
    // what Home goes back to.
    if (document.topic.empty()) {
        browser_->setHtml(ToQString(document.html));
    } else {
        ShowTopic(ToQString(document.topic));
    }
    UseClassicLook(*this);
    // The window's own parts in the dialogs' font; the pages bring theirs.
    const QFont pageFont = browser_->font();
    setFont(DialogFont());
    browser_->setFont(pageFont);
    resize(760, 560);
    contents_->setFocus();
}

QWidget* HelpWindow::MakeContentsTab(const forms::HelpDocument& document) {
    contents_ = new QTreeWidget;
    contents_->setObjectName("helpContents");
    contents_->setHeaderHidden(true);
    std::vector<QTreeWidgetItem*> parents;
    for (const forms::HelpEntry& entry : document.contents) {
        const std::size_t depth = std::min<std::size_t>(entry.depth, parents.size());
        parents.resize(depth);
        auto* item =
            depth == 0 ? new QTreeWidgetItem(contents_) : new QTreeWidgetItem(parents.back());
        item->setText(0, ToQString(entry.name));
        item->setData(0, kTopicRole, ToQString(entry.topic));
        parents.push_back(item);
    }
    contents_->expandAll();
    auto open = [this](QTreeWidgetItem* item) {
        const QString topic = item->data(0, kTopicRole).toString();
        if (!topic.isEmpty()) ShowTopic(topic);
    };
    connect(contents_, &QTreeWidget::itemClicked, this, open);
    connect(contents_, &QTreeWidget::itemActivated, this, open);
    return contents_;
}

QWidget* HelpWindow::MakeIndexTab(const forms::HelpDocument& document) {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    indexWord_ = AddPromptedLine(layout, "Type in the keyword to find:", "helpIndexWord");
    index_ = new QListWidget(tab);
    index_->setObjectName("helpIndex");
    for (const forms::HelpEntry& entry : document.index) {
        auto* item = new QListWidgetItem(QString(entry.depth * 4, ' ') + ToQString(entry.name));
        item->setData(kTopicRole, ToQString(entry.topic));
        index_->addItem(item);
    }
    layout->addWidget(index_);
    auto* display = new QPushButton("Display", tab);
    display->setObjectName("helpIndexDisplay");
    layout->addWidget(display, 0, Qt::AlignRight);

    // Typing moves to the first keyword that starts with the text.
    connect(indexWord_, &QLineEdit::textEdited, this, [this](const QString& text) {
        for (int row = 0; row < index_->count(); ++row) {
            if (index_->item(row)->text().trimmed().startsWith(text, Qt::CaseInsensitive)) {
                index_->setCurrentRow(row);
                index_->scrollToItem(index_->item(row), QAbstractItemView::PositionAtTop);
                return;
            }
        }
    });
    connect(indexWord_, &QLineEdit::returnPressed, this, &HelpWindow::OpenIndexEntry);
    connect(index_, &QListWidget::itemActivated, this, &HelpWindow::OpenIndexEntry);
    connect(display, &QPushButton::clicked, this, &HelpWindow::OpenIndexEntry);
    return tab;
}

QWidget* HelpWindow::MakeSearchTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    searchWords_ = AddPromptedLine(layout, "Type in the word(s) to search for:", "helpSearchWords");
    auto* list = new QPushButton("List Topics", tab);
    list->setObjectName("helpSearchList");
    layout->addWidget(list, 0, Qt::AlignRight);
    searchResults_ = new QListWidget(tab);
    searchResults_->setObjectName("helpSearchResults");
    layout->addWidget(searchResults_);

    connect(searchWords_, &QLineEdit::returnPressed, this, &HelpWindow::ListSearchResults);
    connect(list, &QPushButton::clicked, this, &HelpWindow::ListSearchResults);
    connect(searchResults_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowTopic(item->data(kTopicRole).toString()); });
    return tab;
}

void HelpWindow::ShowTopic(const QString& topic) {
    QString path = topic;
    while (path.startsWith('/')) path.remove(0, 1);
    browser_->setSource(QUrl("/" + path));
}

QStringList HelpWindow::SearchTopics(const QString& words) {
    const QStringList wanted = words.split(' ', Qt::SkipEmptyParts);
    QStringList found;
    if (wanted.isEmpty()) return found;
    for (const auto& [page, name] : topics_) {
        const QVariant html = browser_->loadResource(QTextDocument::HtmlResource, QUrl("/" + page));
        const QString text = QTextDocumentFragment::fromHtml(html.toString()).toPlainText();
        const bool all = std::all_of(wanted.begin(), wanted.end(), [&text](const QString& word) {
            return text.contains(word, Qt::CaseInsensitive);
        });
        if (all) found << name;
    }
    return found;
}

void HelpWindow::ListSearchResults() {
    searchResults_->clear();
    const QStringList names = SearchTopics(searchWords_->text());
    for (const auto& [page, name] : topics_) {
        if (!names.contains(name)) continue;
        auto* item = new QListWidgetItem(name, searchResults_);
        item->setData(kTopicRole, page);
    }
    if (searchResults_->count() > 0) searchResults_->setCurrentRow(0);
}

void HelpWindow::OpenIndexEntry() {
    QListWidgetItem* item = index_->currentItem();
    if (!item) return;
    const QString topic = item->data(kTopicRole).toString();
    if (!topic.isEmpty()) ShowTopic(topic);
}

void HelpWindow::MarkInContents(const QUrl& source) {
    const QString page = PageOf(source.path());
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        if (PageOf((*it)->data(0, kTopicRole).toString()) == page) {
            const QSignalBlocker quiet(contents_);
            contents_->setCurrentItem(*it);
            return;
        }
    }
}

QWidget* CreateHelpWindow(const forms::HelpDocument& document, QWidget* beside) {
    auto* window = new HelpWindow(document);
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
