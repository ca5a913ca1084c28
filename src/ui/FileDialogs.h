#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace quorvo {

// The save- and open-file dialogs as the windows use them. The program shows the platform's; tests install a double
// that answers from a script and records what was asked.
class FileDialogs
{
public:
    struct SaveRequest
    {
        QString filter;        // "Description|*.ext", as the report dialog names its types
        QString folder;        // the initial folder; empty for the current one
        QString proposedName;  // the file name proposed in the dialog
        QString defaultSuffix; // given to a name typed without an extension
    };

    struct OpenRequest
    {
        QString filter; // "Description|*.ext", as for saving
        QString folder; // the initial folder; empty for the current one
    };

    virtual ~FileDialogs() = default;

    // The chosen full file name, none when the user cancelled. The dialog has already asked before a
    // chosen existing file is to be replaced.
    virtual std::optional<QString> getSaveFileName(QWidget* parent, const SaveRequest& request) = 0;
    // The chosen existing file's full name, none when the user cancelled.
    virtual std::optional<QString> getOpenFileName(QWidget* parent, const OpenRequest& request) = 0;

    // The installed implementation, or the platform's when none is; install() returns the previous one.
    static FileDialogs& current();
    static FileDialogs* install(FileDialogs* dialogs);
};

} // namespace quorvo
