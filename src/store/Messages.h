#pragma once

#include <QString>

namespace quorvo {

// The program's message boxes. Store and window code ask and report through AskYesNo, ShowInfo and
// ShowError below; the program installs the message-box implementation at start, tests install a double
// that answers from a script and records every text. Texts are the program's fixed English texts with
// single "\r" as line breaks; an implementation shows them as it must.
class Messages
{
public:
    virtual ~Messages() = default;

    // A question captioned with the program's name; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // A report captioned "Information"; the hourglass, if any, is gone before it shows.
    virtual void showInfo(const QString& text) = 0;
    // A failure the user should know about, with the system's text for it.
    virtual void showError(const QString& text) = 0;
    // A report under a window's own caption, with the information icon and OK.
    virtual void showCaptionedInfo(const QString& caption, const QString& text)
    {
        Q_UNUSED(caption);
        showInfo(text);
    }

    // The object the free functions go through; null when none is installed. install() returns the
    // previous one, so a test can put it back. The installer keeps ownership.
    static Messages* installed();
    static Messages* install(Messages* messages);
};

// With nothing installed a question is answered No and a report goes to the debug output only, so a
// forgotten installation can never make a destructive answer.
bool AskYesNo(const QString& text);
void ShowInfo(const QString& text);
void ShowError(const QString& text);
void ShowCaptionedInfo(const QString& caption, const QString& text);

// A text as a message box shows it: at most 255 characters (a pair of surrogates is not split) and every
// "\r", "\n" or "\r\n" turned into one "\n".
QString MessageBoxText(const QString& text);

} // namespace quorvo
