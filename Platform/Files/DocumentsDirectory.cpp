#include "Platform/Files/DocumentsDirectory.h"

#include <QDir>
#include <QStandardPaths>

QString DocumentsDirectory()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(path);
    return path;
}
