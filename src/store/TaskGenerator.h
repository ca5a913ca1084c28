#pragma once

#include "store/xbase/Table.h"

#include <cstdint>
#include <string>

namespace quorvo {

// Fills a task table with realistic tasks for benchmarks, tests and trying the program out: dates over
// three years around a base day (some empty), times (some empty), descriptions, key words from a small
// vocabulary, a third done, priorities A/B/C with a few lower-case and blank ones, a quarter with notes
// of several lines. The same seed and base day give the same tasks.
class TaskGenerator
{
public:
    struct Options
    {
        std::uint32_t seed = 20261208;
        int baseYear = 2026; // dates fall from 1.5 years before to 1.5 years after this day
        int baseMonth = 1;
        int baseDay = 1;
        bool sync = false;
    };

    // Creates path (which must not exist), appends count tasks in one transaction and builds the
    // structural index with the five task tags.
    static xbase::Status createTable(const std::string& path, std::uint32_t count, const Options& options);
    // Appends count tasks to an open table in one transaction.
    static xbase::Status append(xbase::Table& table, std::uint32_t count, const Options& options);
};

} // namespace quorvo
