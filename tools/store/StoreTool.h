#pragma once

#include <iosfwd>

namespace quorvo::xbase {
class Table;
struct Error;
} // namespace quorvo::xbase
#include <string>
#include <vector>

namespace quorvo {

// quorvo-store: inspect and maintain data files from a shell. Each command returns the exit code: 0 on
// success, 1 on failure with one line on the error stream, 2 for a command line it does not understand.
class StoreTool
{
public:
    StoreTool(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    int run(const std::vector<std::string>& args);

private:
    int info(const std::string& path);
    int list(const std::string& path, const std::vector<std::string>& options);
    int check(const std::string& path);
    int pack(const std::string& path);
    int reindex(const std::string& path);
    int repair(const std::string& path);
    // A fresh structural index for the open, exclusive table; the number of tags, or 0 with error set.
    int rebuildIndex(xbase::Table& table, std::string& error);
    int generate(const std::string& count, const std::string& path);
    // Needs a Qt Gui application object: note lines are measured in the report font.
    int exportView(const std::string& path, const std::string& file, const std::vector<std::string>& options);
    // The printed report as a PDF file; options as for exportView without --format.
    int exportPdf(const std::string& path, const std::string& file, const std::vector<std::string>& options);
    // iCalendar to-dos into the table as one transaction; the counts on the output stream.
    int importTasks(const std::string& path, const std::string& file);
    int usage();
    int fail(const std::string& message);
    int failOpen(const std::string& path, const xbase::Error& error);

    std::ostream& m_out;
    std::ostream& m_err;
};

} // namespace quorvo
