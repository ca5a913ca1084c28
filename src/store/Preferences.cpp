#include "store/Preferences.h"

#include "store/IniFile.h"

namespace quorvo {

namespace {

constexpr const char* kPreferences = "Preferences";
constexpr const char* kReindex = "Reindex";
constexpr const char* kReport = "Report";

} // namespace

Preferences Preferences::read(const IniFile& file)
{
    const Preferences defaults;
    Preferences p;
    p.splitterBar = file.readInt(kPreferences, "SplitterBar", defaults.splitterBar);
    p.order = file.readInt(kPreferences, "Order", defaults.order);
    p.showDone = file.readBool(kPreferences, "ShowDone", defaults.showDone);
    p.reindexNeeded = file.readBool(kReindex, "Needed", defaults.reindexNeeded);

    const ReportOptions& r = defaults.report;
    p.report.printMemo = file.readBool(kReport, "PrintMemo", r.printMemo);
    p.report.printCheckbox = file.readBool(kReport, "PrintCheckbox", r.printCheckbox);
    p.report.printDoubleSpace = file.readBool(kReport, "PrintDoubleSpace", r.printDoubleSpace);
    p.report.printKeywords = file.readBool(kReport, "PrintKeywoirds", r.printKeywords);
    p.report.htmlPrintMemo = file.readBool(kReport, "HTMLPrintMemo", r.htmlPrintMemo);
    p.report.rtfPrintMemo = file.readBool(kReport, "RTFPrintMemo", r.rtfPrintMemo);
    p.report.textPrintMemo = file.readBool(kReport, "TextPrintMemo", r.textPrintMemo);
    p.report.htmlColor = file.readInt(kReport, "HTMLColor", r.htmlColor);
    return p;
}

Preferences Preferences::load(const QString& fileName)
{
    return read(IniFile(fileName));
}

bool Preferences::write(IniFile& file) const
{
    const bool ownBatch = !file.inBatch();
    if (ownBatch)
        file.beginBatch();
    file.writeInt(kPreferences, "SplitterBar", splitterBar);
    file.writeInt(kPreferences, "Order", order);
    file.writeBool(kPreferences, "ShowDone", showDone);
    file.writeBool(kReindex, "Needed", reindexNeeded);
    file.writeBool(kReport, "PrintMemo", report.printMemo);
    file.writeBool(kReport, "PrintCheckbox", report.printCheckbox);
    file.writeBool(kReport, "PrintDoubleSpace", report.printDoubleSpace);
    file.writeBool(kReport, "PrintKeywoirds", report.printKeywords);
    file.writeBool(kReport, "HTMLPrintMemo", report.htmlPrintMemo);
    file.writeBool(kReport, "RTFPrintMemo", report.rtfPrintMemo);
    file.writeBool(kReport, "TextPrintMemo", report.textPrintMemo);
    file.writeInt(kReport, "HTMLColor", report.htmlColor);
    return ownBatch ? file.commit() : true;
}

bool Preferences::save(const QString& fileName) const
{
    IniFile file(fileName);
    return write(file);
}

} // namespace quorvo
