#include "store/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

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

QString DataDirFor(const QString& programDir, const QString& userDataDir)
{
    // Trying is the only sure test: permission bits say nothing of read-only mounts or access lists.
    QTemporaryFile probe(programDir + QStringLiteral("quorvo-XXXXXX.probe"));
    if (probe.open())
        return programDir;
    QDir().mkpath(userDataDir);
    return DirectoryWithSlash(userDataDir);
}

QString DataDir()
{
    return DataDirFor(ProgramDir(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
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
