#pragma once

#include "store/Messages.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

namespace quorvo {

// A Messages double that installs itself for its lifetime (putting the previous one back afterwards),
// answers questions from a script and records every text it was handed, unchanged, in order.
// A question with no scripted answer left fails the running test and is answered No.
class ScriptedMessages final : public Messages
{
public:
    enum class Kind
    {
        Question,
        Info,
        Error
    };

    struct Shown
    {
        Kind kind;
        QString text;
        bool operator==(const Shown&) const = default;
    };

    ScriptedMessages();
    ~ScriptedMessages() override;
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    // Queues the answers to the next questions, in order.
    void answer(bool yes);
    void answer(std::initializer_list<bool> answers);
    qsizetype unusedAnswers() const { return m_answers.size(); }

    const QList<Shown>& shown() const { return m_shown; }
    // The texts of one kind, in order.
    QStringList texts(Kind kind) const;
    QStringList questions() const { return texts(Kind::Question); }
    QStringList infos() const { return texts(Kind::Info); }
    QStringList errors() const { return texts(Kind::Error); }
    void clear();

    bool askYesNo(const QString& text) override;
    void showInfo(const QString& text) override;
    void showError(const QString& text) override;
    void showCaptionedInfo(const QString& caption, const QString& text) override;
    // The captions of the reports shown under a window's own caption, in order.
    QStringList captions;

private:
    QQueue<bool> m_answers;
    QList<Shown> m_shown;
    Messages* m_previous = nullptr;
};

} // namespace quorvo
