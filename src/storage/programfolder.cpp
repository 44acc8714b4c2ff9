#include "storage/programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace vornel {

namespace {
QString& overrideFolder()
{
    static QString folder;
    return folder;
}
} // namespace

void setProgramFolder(const QString& folder)
{
    overrideFolder() = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

QString programFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString programPath(const QString& fileName)
{
    return QDir(programFolder()).filePath(fileName);
}

} // namespace vornel
