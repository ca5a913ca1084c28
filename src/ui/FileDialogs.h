#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace quorvo {

// The save-file dialog as the windows use it. The program shows the platform's; tests install a double
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

    virtual ~FileDialogs() = default;

    // The chosen full file name, none when the user cancelled. The dialog has already asked before a
    // chosen existing file is to be replaced.
    virtual std::optional<QString> getSaveFileName(QWidget* parent, const SaveRequest& request) = 0;

    // The installed implementation, or the platform's when none is; install() returns the previous one.
    static FileDialogs& current();
    static FileDialogs* install(FileDialogs* dialogs);
};

} // namespace quorvo
