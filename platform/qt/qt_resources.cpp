#include "platform/qt/qt_resources.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>

namespace platform::qt {

QStringList ResourceFolders() {
    QStringList roots;
    const QString fromEnvironment = qEnvironmentVariable("KESTROW_RESOURCE_DIR");
    if (!fromEnvironment.isEmpty()) roots << fromEnvironment;
    const QString programFolder = QCoreApplication::applicationDirPath();
    roots << programFolder + "/../share/kestrow";
    roots << QString(KESTROW_BUILD_RESOURCES).split('|', Qt::SkipEmptyParts);

    QStringList folders;
    for (const QString& root : roots) {
        folders << QDir::cleanPath(root) << QDir::cleanPath(root + "/icons");
    }
    folders.removeDuplicates();
    return folders;
}

QString FindResource(const QString& name) {
    if (name.isEmpty()) return {};
    // Names come from the program's own tables; a path leaving the
    // resource folders is not one of them.
    if (QDir::isAbsolutePath(name) || name.split('/').contains("..")) return {};
    const bool hasExtension = !QFileInfo(name).suffix().isEmpty();
    const QStringList extensions =
        hasExtension ? QStringList{""} : QStringList{".png", ".svg", ".ico", ".jpg"};
    for (const QString& folder : ResourceFolders()) {
        for (const QString& extension : extensions) {
            const QFileInfo candidate(folder + "/" + name + extension);
            if (candidate.isFile()) return candidate.absoluteFilePath();
        }
    }
    return {};
}

QIcon LoadIcon(const QString& name) {
    if (name.isEmpty() || name.contains('/')) return {};
    // An icon comes as one file a size, "<name>-16.png" and so on.
    for (const QString& folder : ResourceFolders()) {
        const QDir dir(folder);
        const QStringList sizes = dir.entryList({name + "-*.png"}, QDir::Files);
        if (sizes.isEmpty()) continue;
        QIcon icon;
        for (const QString& file : sizes) icon.addFile(dir.filePath(file));
        if (!icon.availableSizes().isEmpty()) return icon;
    }
    const QString path = FindResource(name);
    if (path.isEmpty()) return {};
    QIcon icon(path);
    return icon.availableSizes().isEmpty() ? QIcon() : icon;
}

QCursor PointingHandCursor() {
    // The classic link hand, hot spot on the finger tip; Qt's own otherwise.
    const QPixmap hand = LoadPicture("cursors/hand.png");
    return hand.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(hand, 5, 0);
}

QPixmap LoadPicture(const QString& relativePath) {
    const QString path = FindResource(relativePath);
    return path.isEmpty() ? QPixmap() : QPixmap(path);
}

}  // namespace platform::qt
