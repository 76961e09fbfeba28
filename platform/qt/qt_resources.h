// Finds the program's icons and pictures: a name is looked up in the folder
// KESTROW_RESOURCE_DIR names, beside the installed program, then in the
// build tree.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace platform::qt {

QStringList ResourceFolders();

// The full path of a resource file, or empty text. A name without an
// extension is tried with the usual image extensions.
QString FindResource(const QString& name);

// Null when the icon or picture cannot be found or read.
QIcon LoadIcon(const QString& name);
QPixmap LoadPicture(const QString& relativePath);
QCursor PointingHandCursor();

}  // namespace platform::qt
