#include "store/ExportPreferences.h"

#include "store/IniFile.h"
#include "store/Windows1252.h"

namespace quorvo {

namespace {

constexpr const char* kReport = "Report";

QString readText(const IniFile& file, const char* key, const QString& defaultValue)
{
    if (!file.contains(kReport, key))
        return defaultValue;
    const QByteArray value = file.readString(kReport, key);
    return Windows1252::toUnicode(std::string_view(value.data(), static_cast<std::size_t>(value.size())));
}

bool writeText(IniFile& file, const char* key, const QString& value)
{
    // The dialog's edits refuse what Windows-1252 cannot hold, and file names from elsewhere are kept
    // whole only if they fit; anything else would be stored altered.
    bool ok = false;
    const std::string bytes = Windows1252::fromUnicode(value, &ok);
    return ok && file.writeString(kReport, key, bytes);
}

} // namespace

QString ExportPreferences::fileName(const QString& programDir)
{
    return programDir + QStringLiteral("QVTSK.INI");
}

ExportPreferences ExportPreferences::defaults(const QString& programDir)
{
    const QString title = QStringLiteral("Quorvo");
    return {title,
            title,
            title,
            title,
            programDir + QStringLiteral("Todo.htm"),
            programDir + QStringLiteral("Todo.rtf"),
            programDir + QStringLiteral("Todo.txt"),
            title,
            programDir + QStringLiteral("Todo.ics"),
            false};
}

ExportPreferences ExportPreferences::load(const QString& programDir)
{
    const IniFile file(fileName(programDir));
    const ExportPreferences d = defaults(programDir);
    return {readText(file, "ReportTitle", d.reportTitle),   readText(file, "HTMLTitle", d.htmlTitle),
            readText(file, "RTFTitle", d.rtfTitle),         readText(file, "TextTitle", d.textTitle),
            readText(file, "HTMLFilespec", d.htmlFilespec), readText(file, "RTFFilespec", d.rtfFilespec),
            readText(file, "TextFilespec", d.textFilespec), readText(file, "ICalTitle", d.icalTitle),
            readText(file, "ICalFilespec", d.icalFilespec), file.readBool(kReport, "ICalNotes", d.icalNotes)};
}

bool ExportPreferences::save(const QString& programDir) const
{
    IniFile file(fileName(programDir));
    file.beginBatch();
    writeText(file, "ReportTitle", reportTitle);
    writeText(file, "HTMLTitle", htmlTitle);
    writeText(file, "RTFTitle", rtfTitle);
    writeText(file, "TextTitle", textTitle);
    writeText(file, "HTMLFilespec", htmlFilespec);
    writeText(file, "RTFFilespec", rtfFilespec);
    writeText(file, "TextFilespec", textFilespec);
    writeText(file, "ICalTitle", icalTitle);
    writeText(file, "ICalFilespec", icalFilespec);
    file.writeBool(kReport, "ICalNotes", icalNotes);
    return file.commit();
}

} // namespace quorvo
