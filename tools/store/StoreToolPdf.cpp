#include "StoreTool.h"

#include "datetime/DateFormats.h"
#include "reports/PrintedReportPdf.h"
#include "store/TodoTable.h"

#include <QGuiApplication>

#include <ostream>

namespace quorvo {

int StoreTool::exportPdf(const std::string& path, const std::string& file, const std::vector<std::string>& options)
{
    PrintRunSettings settings;
    settings.title = QStringLiteral("Quorvo");
    // The program's default order, as the other exports use.
    std::string tag = "DATETIME";
    std::string query;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& option = options[i];
        if (option == "--order" && i + 1 < options.size())
            tag = options[++i];
        else if (option == "--query" && i + 1 < options.size())
            query = options[++i];
        else if (option == "--title" && i + 1 < options.size())
            settings.title = QString::fromStdString(options[++i]);
        else if (option == "--notes")
            settings.printMemo = true;
        else if (option == "--keywords")
            settings.printKeywords = true;
        else if (option == "--checkbox")
            settings.printCheckbox = true;
        else if (option == "--double")
            settings.doubleSpace = true;
        else
            return usage();
    }
    TodoTable table;
    xbase::TableOptions tableOptions;
    if (auto opened = table.open(QString::fromStdString(path), false, tableOptions); !opened)
        return fail(opened.error().message);
    xbase::Table& engine = table.engine();
    if (!tag.empty()) {
        const int order = engine.tagOrder(tag);
        if (order == 0)
            return fail(path + " has no tag " + tag);
        if (auto set = engine.setOrder(order); !set)
            return fail(set.error().message);
    }
    if (auto set = engine.setQuery(query); !set)
        return fail(set.error().message);
    if (auto top = engine.goTop(); !top)
        return fail(top.error().message);

    QFont wrapFont = QGuiApplication::font();
    wrapFont.setPixelSize(13);
    const auto result = PrintedReportPdf::write(QString::fromStdString(file), table, DateFormats::current(), settings,
                                                PrintedReportPdf::defaultPageLayout(), wrapFont, 96);
    if (!result.ok)
        return fail(file + ": " + result.error.toStdString());
    m_out << file << ": " << result.pages << " pages\n";
    return 0;
}

} // namespace quorvo
