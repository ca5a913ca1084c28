#pragma once

#include <string>

namespace quorvo::xbase {

// The path of a file beside a table with another extension, in the letter case of the table's own
// extension: "QVTSK.DBF" gives "QVTSK.FPT", "tasks.dbf" gives "tasks.fpt". upperExtension has its dot.
std::string siblingPath(const std::string& path, const char* upperExtension);

} // namespace quorvo::xbase
