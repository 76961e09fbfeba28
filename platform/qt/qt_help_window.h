// A help window: an HTML page in a browser that reads the help file's other
// pages and pictures through the caller's resource function.
#pragma once

#include <QTextBrowser>
#include <functional>
#include <string>

namespace platform::qt {

class HelpBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    using Resource = std::function<std::string(const std::string&)>;
    HelpBrowser(Resource resource, QWidget* parent);

    QVariant loadResource(int type, const QUrl& name) override;

  private:
    Resource resource_;
};

// A top-level window holding a HelpBrowser, placed beside `beside` when
// there is room on that screen.
QWidget* CreateHelpWindow(const QString& title, const QString& html, HelpBrowser::Resource resource,
                          QWidget* beside);

}  // namespace platform::qt
