#pragma once

#include "store/Messages.h"

namespace quorvo {

// The program's message boxes: modal over the active window, plain text (a file name with "<" in it is
// not markup), Yes the default answer of a question and Escape answering No.
class QMessageBoxMessages final : public Messages
{
public:
    bool askYesNo(const QString& text) override;
    void showInfo(const QString& text) override;
    void showError(const QString& text) override;
    void showCaptionedInfo(const QString& caption, const QString& text) override;
};

} // namespace quorvo
