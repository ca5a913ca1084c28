#include "StoreTool.h"

#include <QGuiApplication>

#include <iostream>
#include <memory>
#include <string_view>

int main(int argc, char* argv[])
{
    std::ios::sync_with_stdio(false);
    // Exports measure note lines in the report font, which takes a Gui application; no window is shown, so
    // the offscreen platform serves on a machine without a display as well.
    std::unique_ptr<QGuiApplication> app;
    if (argc > 1 && std::string_view(argv[1]) == "export") {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt's notes about the session (no runtime directory and the like) are not the tool's output.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::cerr << message.toStdString() << '\n';
        });
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    quorvo::StoreTool tool(std::cout, std::cerr);
    return tool.run(std::vector<std::string>(argv + 1, argv + argc));
}
