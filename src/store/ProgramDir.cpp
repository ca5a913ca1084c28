#include "store/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quorvo {

QString DirectoryWithSlash(const QString& directory)
{
    QString path = QDir::cleanPath(QDir(directory).absolutePath());
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

QString ProgramDirOf(const QString& programFilePath)
{
    // A bare program name means the working directory, never the root.
    return DirectoryWithSlash(QFileInfo(programFilePath).absolutePath());
}

QString ProgramDir()
{
    return DirectoryWithSlash(QCoreApplication::applicationDirPath());
}

QString PreferencesFileName(const QString& programDir)
{
    return programDir + QStringLiteral("TODO.INI");
}

QString PreferencesFileName()
{
    return PreferencesFileName(ProgramDir());
}

} // namespace quorvo
