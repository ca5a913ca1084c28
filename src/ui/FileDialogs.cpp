#include "ui/FileDialogs.h"

#include "ui/SystemFileDialogs.h"

namespace quorvo {

namespace {

FileDialogs* g_installed = nullptr;

} // namespace

FileDialogs& FileDialogs::current()
{
    static SystemFileDialogs system;
    return g_installed ? *g_installed : system;
}

FileDialogs* FileDialogs::install(FileDialogs* dialogs)
{
    FileDialogs* previous = g_installed;
    g_installed = dialogs;
    return previous;
}

} // namespace quorvo
