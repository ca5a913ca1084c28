#include "support/ScriptedMessages.h"

#include <QTest>

namespace quorvo {

ScriptedMessages::ScriptedMessages() : m_previous(Messages::install(this)) {}

ScriptedMessages::~ScriptedMessages()
{
    Messages::install(m_previous);
}

void ScriptedMessages::answer(bool yes)
{
    m_answers.enqueue(yes);
}

void ScriptedMessages::answer(std::initializer_list<bool> answers)
{
    for (const bool yes : answers)
        m_answers.enqueue(yes);
}

QStringList ScriptedMessages::texts(Kind kind) const
{
    QStringList result;
    for (const Shown& shown : m_shown) {
        if (shown.kind == kind)
            result.append(shown.text);
    }
    return result;
}

void ScriptedMessages::clear()
{
    m_answers.clear();
    m_shown.clear();
}

bool ScriptedMessages::askYesNo(const QString& text)
{
    m_shown.append({Kind::Question, text});
    if (m_answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted question: ") + text), __FILE__, __LINE__);
        return false;
    }
    return m_answers.dequeue();
}

void ScriptedMessages::showInfo(const QString& text)
{
    m_shown.append({Kind::Info, text});
}

void ScriptedMessages::showCaptionedInfo(const QString& caption, const QString& text)
{
    captions.append(caption);
    m_shown.append({Kind::Info, text});
}

void ScriptedMessages::showError(const QString& text)
{
    m_shown.append({Kind::Error, text});
}

} // namespace quorvo
