#pragma once

#include "store/xbase/File.h"
#include "store/xbase/OverlayFile.h"

#include <map>
#include <memory>
#include <string>

namespace quorvo::xbase {

// The files of one table as the next writer's open will leave them: a journal left by a writer that
// died is rolled back in memory only, so read-only commands see the sound state without writing a
// byte (they may lack the right to); an unfinished swap shows its new files under the old names. Every
// file opens read-only; the journal itself is hidden.
class RollbackView : public FileSystem
{
public:
    RollbackView(FileSystem& base, std::string tablePath) : m_base(base), m_tablePath(std::move(tablePath)) {}

    // Reads the journal, if any; true when it held an interrupted change.
    Result<bool> prepare();

    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode, bool create) override;
    bool exists(const std::string& path) override;
    Status remove(const std::string& path) override;
    Status rename(const std::string& from, const std::string& to) override;

private:
    FileSystem& m_base;
    std::string m_tablePath;
    std::string m_journalPath;
    // The data files with the rollback laid over them, by path; opens of them share these.
    std::map<std::string, std::unique_ptr<OverlayFile>> m_rolledBack;
    // An unfinished swap: each old name and the new file it stands for.
    std::map<std::string, std::string> m_swapped;
};

} // namespace quorvo::xbase
