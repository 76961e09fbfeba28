// The help window: the help file's contents, index and a search of its
// topics in tabs beside the topic, with Back, Forward and Home, as a
// compiled-help viewer shows a help file.
#pragma once

#include <QTextBrowser>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/forms/help_windows.h"

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;

namespace platform::qt {

// Shows the help file's pages: names are read through the resource
// function, from the root of the file when a page was opened by its path.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    using Resource = std::function<std::string(const std::string&)>;
    HelpBrowser(Resource resource, QWidget* parent);

    QVariant loadResource(int type, const QUrl& name) override;

  protected:
    // A relative name opens beside the page shown, as a link of it does.
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

  private:
    Resource resource_;
};

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(const forms::HelpDocument& document);

    // Opens a topic of the file by its path ("dialog.htm").
    void ShowTopic(const QString& topic);
    // The topics whose text holds every word of words, as the search tab
    // lists them: their names in the contents, else their titles.
    QStringList SearchTopics(const QString& words);

  private:
    QWidget* MakeContentsTab(const forms::HelpDocument& document);
    QWidget* MakeIndexTab(const forms::HelpDocument& document);
    QWidget* MakeSearchTab();
    void ListSearchResults();
    void OpenIndexEntry();
    void MarkInContents(const QUrl& source);

    HelpBrowser* browser_;
    QTabWidget* tabs_;
    QTreeWidget* contents_ = nullptr;
    QLineEdit* indexWord_ = nullptr;
    QListWidget* index_ = nullptr;
    QLineEdit* searchWords_ = nullptr;
    QListWidget* searchResults_ = nullptr;
    // Every topic of the file, with the name it is listed under.
    std::vector<std::pair<QString, QString>> topics_;
};

// A help window placed beside `beside` when there is room on that screen.
QWidget* CreateHelpWindow(const forms::HelpDocument& document, QWidget* beside);

}  // namespace platform::qt
