#include "app_icon.h"

#include <QDir>

QIcon appIcon()
{
    // Every file under :/icons is one size; adding a size to the build adds it here.
    QIcon icon;
    const QDir sizes(QStringLiteral(":/icons"));
    for (const QString &name : sizes.entryList(QDir::Files))
        icon.addFile(sizes.filePath(name));
    return icon;
}
