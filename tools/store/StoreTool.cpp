#include "StoreTool.h"

#include "datetime/DateFormats.h"
#include "reports/ColorText.h"
#include "reports/HtmlExport.h"
#include "reports/ICalExport.h"
#include "reports/ReportExport.h"
#include "reports/RtfExport.h"
#include "reports/TextExport.h"
#include "store/SystemClock.h"
#include "store/TaskGenerator.h"
#include "store/TaskIndexTags.h"
#include "store/Windows1252.h"
#include "store/xbase/RollbackView.h"
#include "store/xbase/SiblingPath.h"
#include "store/xbase/Table.h"
#include "store/xbase/TableVerifier.h"
#include "tasks/ICalImport.h"
#include "tasks/TaskUid.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <charconv>
#include <iomanip>
#include <memory>
#include <ostream>

namespace quorvo {

namespace {

// Memo text on one line: line breaks and other control bytes as escapes.
std::string escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
                out += hex;
            } else {
                out += c;
            }
        }
    }
    return out;
}

const char* versionName(unsigned char v)
{
    switch (v) {
    case 0x03:
        return "dBASE III / FoxPro without memo";
    case 0xF5:
        return "FoxPro 2.x with memo";
    case 0x83:
        return "dBASE III with memo";
    case 0x30:
    case 0x31:
    case 0x32:
        return "Visual FoxPro";
    default:
        return "other";
    }
}

} // namespace

int StoreTool::run(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return usage();
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 2, args.end());
    if (command == "info" && rest.empty())
        return info(args[1]);
    if (command == "list")
        return list(args[1], rest);
    if (command == "check" && rest.empty())
        return check(args[1]);
    if (command == "pack" && rest.empty())
        return pack(args[1]);
    if (command == "reindex" && rest.empty())
        return reindex(args[1]);
    if (command == "repair" && rest.empty())
        return repair(args[1]);
    if (command == "generate" && rest.size() == 1)
        return generate(args[1], rest[0]);
    if (command == "import" && rest.size() == 1)
        return importTasks(args[1], rest[0]);
    if (command == "export" && !rest.empty())
        return exportView(args[1], rest[0], std::vector<std::string>(rest.begin() + 1, rest.end()));
    return usage();
}

int StoreTool::usage()
{
    m_err << "usage: quorvo-store info FILE.DBF | list FILE.DBF [--order TAG] [--query EXPR] | check FILE.DBF | "
             "reindex FILE.DBF | repair FILE.DBF | pack FILE.DBF | generate N FILE.DBF | export FILE.DBF OUTPUT "
             "--format html|rtf|text|ics [--order TAG] [--query EXPR] [--title TEXT] [--notes] [--color RRGGBB] | "
             "export FILE.DBF OUTPUT --format pdf [--order TAG] [--query EXPR] [--title TEXT] [--notes] [--keywords] "
             "[--checkbox] [--double] | import FILE.DBF FILE.ICS\n";
    return 2;
}

int StoreTool::fail(const std::string& message)
{
    m_err << "quorvo-store: " << message << '\n';
    return 1;
}

int StoreTool::failOpen(const std::string& path, const xbase::Error& error)
{
    // The index is made from the table alone, so a damaged one is mended without loss; say how.
    if (error.code == xbase::ErrorCode::CorruptIndex)
        return fail(error.message + "; rebuild the index with: quorvo-store reindex " + path);
    return fail(error.message);
}

int StoreTool::info(const std::string& path)
{
    auto table = xbase::Table::open(path, xbase::OpenMode::ReadOnly);
    if (!table)
        return failOpen(path, table.error());
    const xbase::DbfHeader& h = (*table)->header();
    auto count = (*table)->recCount();
    if (!count)
        return fail(count.error().message);
    const xbase::Date3 updated = h.lastUpdate();
    m_out << "file:          " << path << '\n'
          << "version:       0x" << std::hex << std::uppercase << int(h.version()) << std::dec << " ("
          << versionName(h.version()) << ")\n"
          << "last update:   " << std::setfill('0') << std::setw(2) << updated.year % 100 << '-' << std::setw(2)
          << updated.month << '-' << std::setw(2) << updated.day << std::setfill(' ') << '\n'
          << "records:       " << *count << " (header says " << h.recordCount() << ")\n"
          << "header length: " << h.headerLength() << '\n'
          << "record length: " << h.recordLength() << '\n'
          << "flags:         0x" << std::hex << int(h.flags()) << '\n'
          << "code page:     0x" << int(h.codePage()) << std::dec << '\n'
          << "fields:\n";
    int n = 1;
    for (const xbase::FieldInfo& f : h.fields())
        m_out << "  " << std::setw(3) << n++ << "  " << std::left << std::setw(10) << f.name << std::right << ' '
              << f.type << ' ' << std::setw(3) << f.width << ' ' << int(f.decimals) << "  offset " << f.offset << '\n';
    return 0;
}

int StoreTool::list(const std::string& path, const std::vector<std::string>& options)
{
    std::string query;
    std::string tag;
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i] == "--query" && i + 1 < options.size())
            query = options[++i];
        else if (options[i] == "--order" && i + 1 < options.size())
            tag = options[++i];
        else
            return usage();
    }
    auto opened = xbase::Table::open(path, xbase::OpenMode::ReadOnly);
    if (!opened)
        return failOpen(path, opened.error());
    xbase::Table& table = **opened;
    if (!tag.empty()) {
        const int order = table.tagOrder(tag);
        if (order == 0)
            return fail(path + " has no tag " + tag);
        if (auto set = table.setOrder(order); !set)
            return fail(set.error().message);
    }
    if (auto set = table.setQuery(query); !set)
        return fail(set.error().message);
    if (auto top = table.goTop(); !top)
        return fail(top.error().message);
    std::string line;
    while (!table.eof()) {
        line = std::to_string(table.recNo());
        line += table.deleted() ? " *" : "  ";
        for (int n = 1; n <= table.fieldCount(); ++n) {
            line += n == 1 ? " " : " | ";
            const char type = table.field(n).type;
            if (type == 'M' || type == 'G' || type == 'P') {
                auto memo = table.getMemo(n);
                if (!memo)
                    return fail("record " + std::to_string(table.recNo()) + ": " + memo.error().message);
                line += escaped(*memo);
            } else {
                line += escaped(table.getTrimString(n));
            }
        }
        // The table holds Windows-1252 bytes; a terminal expects UTF-8.
        m_out << Windows1252::toUnicode(line).toUtf8().toStdString() << '\n';
        if (auto next = table.skip(1); !next)
            return fail(next.error().message);
    }
    return 0;
}

int StoreTool::check(const std::string& path)
{
    // Right after a crash the files hold a half-made change that the next open undoes: check what that
    // open will find, without writing.
    xbase::RollbackView view(xbase::diskFileSystem(), path);
    auto rolledBack = view.prepare();
    if (!rolledBack)
        return fail(rolledBack.error().message);
    if (*rolledBack)
        m_out << path << ": an interrupted change will be rolled back at the next open\n";
    xbase::TableVerifier verifier(view);
    if (auto status = verifier.verify(path); !status)
        return fail(status.error().message);
    xbase::TableOptions options;
    options.fileSystem = &view;
    auto table = xbase::Table::open(path, xbase::OpenMode::ReadOnly, options);
    if (!table)
        return failOpen(path, table.error());
    if (auto status = (*table)->verifyIndex(); !status)
        return fail(status.error().message);
    m_out << path << ": ok\n";
    return 0;
}

int StoreTool::pack(const std::string& path)
{
    auto table = xbase::Table::open(path, xbase::OpenMode::Exclusive);
    if (!table)
        return failOpen(path, table.error());
    auto before = (*table)->recCount();
    if (auto packed = (*table)->pack(); !packed)
        return fail(packed.error().message);
    auto after = (*table)->recCount();
    if (auto closed = (*table)->close(); !closed)
        return fail(closed.error().message);
    m_out << path << ": " << (before ? *before : 0) << " records, " << (after ? *after : 0) << " kept\n";
    return 0;
}

int StoreTool::reindex(const std::string& path)
{
    xbase::TableOptions options;
    options.openIndex = false; // the old index may be damaged beyond reading; nothing of it is needed
    auto table = xbase::Table::open(path, xbase::OpenMode::Exclusive, options);
    if (!table)
        return fail(table.error().message);
    std::string error;
    const int tags = rebuildIndex(**table, error);
    if (tags == 0)
        return fail(error);
    if (auto closed = (*table)->close(); !closed)
        return fail(closed.error().message);
    m_out << path << ": " << tags << " tags rebuilt\n";
    return 0;
}

int StoreTool::rebuildIndex(xbase::Table& table, std::string& error)
{
    std::vector<xbase::TagExpressions> tags;
    bool taskTable = true;
    for (const char* name : {"DATE", "TIME", "DESCRIPT", "DONE", "KEYS", "PRIORITY"})
        taskTable = taskTable && table.fieldNumber(name) != 0;
    if (taskTable) {
        for (const TaskIndexTag& tag : kTaskIndexTags)
            tags.push_back({tag.name, tag.key, tag.condition});
    } else {
        error = table.path() + " is not a task table: the tags of its index are unknown";
        return 0;
    }
    if (auto status = table.replaceIndex(tags); !status) {
        error = status.error().message;
        return 0;
    }
    return static_cast<int>(tags.size());
}

int StoreTool::repair(const std::string& path)
{
    xbase::TableOptions options;
    options.openIndex = false; // rebuilt afterwards
    auto table = xbase::Table::open(path, xbase::OpenMode::Exclusive, options);
    if (!table)
        return fail(table.error().message);
    const std::string backup = xbase::siblingPath(path, ".FPT") + ".bak";
    auto lost = (*table)->repairMemoFile(backup);
    if (!lost)
        return fail(lost.error().message);
    for (std::uint32_t recno : *lost)
        m_out << path << ": the note of record " << recno << " could not be read; it is now empty\n";
    std::string error;
    const int tags = rebuildIndex(**table, error);
    if (tags == 0)
        return fail(error);
    if (auto closed = (*table)->close(); !closed)
        return fail(closed.error().message);
    m_out << path << ": memo file rewritten (the old one is kept as " << backup << "), " << tags << " tags rebuilt\n";
    return 0;
}

int StoreTool::generate(const std::string& countText, const std::string& path)
{
    std::uint32_t count = 0;
    const auto [end, error] = std::from_chars(countText.data(), countText.data() + countText.size(), count);
    if (error != std::errc() || end != countText.data() + countText.size())
        return fail("not a number of tasks: " + countText);
    TaskGenerator::Options options;
    const QDate today = SystemClock().today();
    options.baseYear = today.year();
    options.baseMonth = today.month();
    options.baseDay = today.day();
    if (auto status = TaskGenerator::createTable(path, count, options); !status)
        return fail(status.error().message);
    m_out << path << ": " << count << " tasks\n";
    return 0;
}

int StoreTool::exportView(const std::string& path, const std::string& file, const std::vector<std::string>& options)
{
    for (std::size_t i = 0; i + 1 < options.size(); ++i) {
        if (options[i] == "--format" && options[i + 1] == "pdf") {
            std::vector<std::string> rest(options.begin(), options.begin() + static_cast<std::ptrdiff_t>(i));
            rest.insert(rest.end(), options.begin() + static_cast<std::ptrdiff_t>(i) + 2, options.end());
            return exportPdf(path, file, rest);
        }
    }
    // The report dialog's defaults, so that a bare command writes what a first export from the program would.
    std::string format;
    std::string tag = "DATETIME";
    std::string query;
    QString title = QStringLiteral("Quorvo");
    QString color = QStringLiteral("FFFF80");
    bool notes = false;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& option = options[i];
        const bool hasValue = i + 1 < options.size();
        if (option == "--format" && hasValue)
            format = options[++i];
        else if (option == "--order" && hasValue)
            tag = options[++i];
        else if (option == "--query" && hasValue)
            query = options[++i];
        else if (option == "--title" && hasValue)
            title = QString::fromStdString(options[++i]);
        else if (option == "--color" && hasValue)
            color = QString::fromStdString(options[++i]);
        else if (option == "--notes")
            notes = true;
        else
            return usage();
    }
    const std::optional<int> colorValue = ColorText::toValue(color);
    if (!colorValue)
        return fail("--color takes six hexadecimal digits RRGGBB");
    bool encodable = false;
    const std::string titleBytes = Windows1252::fromUnicode(title, &encodable);
    if (!encodable)
        return fail("the title holds a character that Windows-1252 cannot hold");
    const QByteArray titleText(titleBytes.data(), static_cast<qsizetype>(titleBytes.size()));

    std::unique_ptr<ExportWriter> writer;
    if (format == "html")
        writer = std::make_unique<HtmlExport>(titleText, ColorText::fromValue(*colorValue).toLatin1());
    else if (format == "rtf")
        writer = std::make_unique<RtfExport>(titleText);
    else if (format == "text")
        writer = std::make_unique<TextExport>(titleText);
    else if (format != "ics")
        return usage();

    auto opened = xbase::Table::open(path, xbase::OpenMode::Shared);
    if (!opened)
        return failOpen(path, opened.error());
    xbase::Table& table = **opened;
    if (format == "ics")
        writer = std::make_unique<ICalExport>(titleText, TaskUid::tableTag(QString::fromStdString(path)),
                                              QDateTime::currentDateTimeUtc());
    const int order = table.tagOrder(tag);
    if (order == 0)
        return fail(path + " has no tag " + tag);
    if (auto set = table.setOrder(order); !set)
        return fail(set.error().message);
    if (auto set = table.setQuery(query); !set)
        return fail(set.error().message);
    ReportExport exporter(table, DateFormats::current());
    const ReportExport::Outcome outcome = exporter.write(QString::fromStdString(file), *writer, notes);
    if (!outcome.ok)
        return fail(file + ": " + outcome.error.toStdString());
    return 0;
}

int StoreTool::importTasks(const std::string& path, const std::string& file)
{
    QFile input(QString::fromStdString(file));
    if (!input.open(QIODevice::ReadOnly))
        return fail(file + ": " + input.errorString().toStdString());
    const QByteArray bytes = input.readAll();
    QString error;
    const std::optional<ICalImport::Plan> plan =
        ICalImport::read(bytes, TaskUid::tableTag(QString::fromStdString(path)), &error);
    if (!plan)
        return fail(file + ": " + error.toStdString());
    auto opened = xbase::Table::open(path, xbase::OpenMode::Shared);
    if (!opened)
        return failOpen(path, opened.error());
    const ICalImport::Outcome outcome = ICalImport::apply(**opened, *plan);
    // A refused import wrote nothing, so no counts: they would read as tasks added.
    if (!outcome.status)
        return fail(outcome.status.error().message);
    m_out << path << ": " << outcome.added << " added, " << outcome.updated << " updated; skipped " << plan->events
          << " events, " << plan->recurring << " repeating to-dos, " << plan->others << " other components\n";
    if (auto closed = (*opened)->close(); !closed)
        return fail(closed.error().message);
    return 0;
}

} // namespace quorvo
