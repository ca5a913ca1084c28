#include "store/Messages.h"

#include <QtDebug>

#include <atomic>

namespace quorvo {

namespace {

std::atomic<Messages*> g_messages{nullptr};

constexpr qsizetype kMaxMessageLength = 255;

} // namespace

Messages* Messages::installed()
{
    return g_messages.load();
}

Messages* Messages::install(Messages* messages)
{
    return g_messages.exchange(messages);
}

bool AskYesNo(const QString& text)
{
    if (Messages* messages = Messages::installed())
        return messages->askYesNo(text);
    qWarning("Question without a message box, answered No: %s", qUtf8Printable(text));
    return false;
}

void ShowInfo(const QString& text)
{
    if (Messages* messages = Messages::installed())
        messages->showInfo(text);
    else
        qWarning("Information without a message box: %s", qUtf8Printable(text));
}

void ShowError(const QString& text)
{
    if (Messages* messages = Messages::installed())
        messages->showError(text);
    else
        qWarning("Error without a message box: %s", qUtf8Printable(text));
}

void ShowCaptionedInfo(const QString& caption, const QString& text)
{
    if (Messages* messages = Messages::installed())
        messages->showCaptionedInfo(caption, text);
    else
        qWarning("Information without a message box: %s", qUtf8Printable(text));
}

QString MessageBoxText(const QString& text)
{
    QString cut = text.left(kMaxMessageLength);
    if (cut.size() == kMaxMessageLength && cut.back().isHighSurrogate())
        cut.chop(1);
    cut.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    cut.replace(u'\r', u'\n');
    return cut;
}

} // namespace quorvo
