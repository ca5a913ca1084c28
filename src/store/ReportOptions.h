#pragma once

namespace quorvo {

// The report switches and the HTML background colour. The main window owns them for its lifetime and
// keeps them in TODO.INI with its other preferences; the report dialog reads and changes them.
struct ReportOptions
{
    bool printMemo = false;
    bool printCheckbox = false;
    bool printDoubleSpace = false;
    bool printKeywords = false; // kept under the key "PrintKeywoirds"
    bool htmlPrintMemo = false;
    bool rtfPrintMemo = false;
    bool textPrintMemo = false;
    int htmlColor = 8454143; // a BGR colour value: light yellow

    bool operator==(const ReportOptions&) const = default;
};

} // namespace quorvo
