#pragma once

#include <QString>

namespace quorvo {

// All data and preferences files live in the program's own directory. These names always end in exactly
// one "/", so a file name is the directory followed by the bare name.

// The running program's directory. Needs the application object.
QString ProgramDir();

// The directory of the given program file (made absolute against the working directory).
QString ProgramDirOf(const QString& programFilePath);

// The given directory, cleaned and absolute, with exactly one trailing "/".
QString DirectoryWithSlash(const QString& directory);

// Where the task files and the preferences live: programDir when files can be made there, otherwise
// userDataDir (created when missing), so a program installed in a read-only place still keeps its tasks.
QString DataDirFor(const QString& programDir, const QString& userDataDir);
// DataDirFor the running program and the user's data directory for it.
QString DataDir();

// programDir + "TODO.INI".
QString PreferencesFileName(const QString& programDir);
QString PreferencesFileName();

} // namespace quorvo
