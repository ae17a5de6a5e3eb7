#include "KxProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString KxBesideProgram(const QString &name, const QString &programFolder)
{
    const QString folder = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable())
        return QDir(folder).filePath(name);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return QDir(data).filePath(name);
}
