#pragma once

#include "store/ReportOptions.h"

#include <QString>

namespace quorvo {

class IniFile;

// The main window's values in TODO.INI. Every member starts at the value a missing or unreadable key
// gives, so a default-constructed Preferences is what a first start sees.
struct Preferences
{
    int splitterBar = 200; // height of the grid pane in pixels
    int order = 0;         // sort order: 0 record order, 1 to 5 the tags
    bool showDone = false;
    bool reindexNeeded = true; // stays true until an index rebuild has run once
    ReportOptions report;

    bool operator==(const Preferences&) const = default;

    static Preferences read(const IniFile& file);
    static Preferences load(const QString& fileName);

    // Writes every key in a fixed order (other programs and people read the file); a caller that has a
    // batch open gets the keys added to it, otherwise they reach the file in one replacement.
    bool write(IniFile& file) const;
    bool save(const QString& fileName) const;
};

} // namespace quorvo
