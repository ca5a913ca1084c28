#include "mainwindow/TaskNotesBinding.h"

#include "mainwindow/KeepTablePosition.h"
#include "mainwindow/Windows1252TextGuard.h"
#include "store/Messages.h"
#include "store/TodoTable.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace quorvo {

namespace {

// The box breaks lines with these two; both are line breaks in the file.
bool isBreak(QChar c)
{
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

TaskNotesBinding::TaskNotesBinding(QPlainTextEdit* notes, TodoTable& table, QObject* parent)
    : QObject(parent), m_notes(notes), m_table(table)
{
    m_notes->installEventFilter(this);
    m_guard = new Windows1252TextGuard(notes);
    load();
}

TaskNotesBinding::~TaskNotesBinding()
{
    if (m_notes)
        m_notes->removeEventFilter(this);
}

QString TaskNotesBinding::toStored(const QString& shown)
{
    QString stored = shown;
    stored.replace(u'\n', QStringLiteral("\r\n"));
    return stored;
}

QString TaskNotesBinding::toShown(const QString& stored)
{
    QString shown = stored;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

QString TaskNotesBinding::textOf(const QTextDocument& document)
{
    QString text = document.toRawText();
    for (QChar& c : text) {
        if (isBreak(c))
            c = u'\n';
    }
    return text;
}

QString TaskNotesBinding::shownText() const
{
    return textOf(*m_notes->document());
}

bool TaskNotesBinding::modified() const
{
    return m_notes && m_recno != 0 && shownText() != m_shown;
}

void TaskNotesBinding::load()
{
    if (!m_notes)
        return;
    if (modified())
        (void)post();
    m_recno = 0;
    QString stored;
    if (m_table.isOpen() && !m_table.engine().eof()) {
        if (auto note = m_table.note()) {
            stored = *note;
            m_recno = m_table.engine().recNo();
        }
    }
    m_notes->setPlainText(toShown(stored));
    m_shown = shownText();
    m_notes->setReadOnly(m_recno == 0);
}

bool TaskNotesBinding::post()
{
    if (!m_notes)
        return true;
    if (m_guard)
        m_guard->removeUnstorable();
    if (!modified())
        return true;
    if (!m_table.isOpen())
        return false;
    const QString text = shownText();
    xbase::Table& engine = m_table.engine();
    KeepTablePosition keep(engine);
    xbase::Status status = engine.go(m_recno);
    if (status && engine.eof())
        status = xbase::makeError(xbase::ErrorCode::BadState, "the task is no longer in the task list");
    if (status)
        emit aboutToWrite(m_recno);
    if (status)
        status = m_table.setNote(toStored(text));
    if (status)
        status = engine.post();
    if (!status) {
        engine.cancel();
        // The box shows what the task holds, not what could not be written; and before the message, whose box
        // takes the focus and so would have this post tried again.
        m_notes->setPlainText(m_shown);
        ShowInfo(QStringLiteral("Error:Unable to save changes\r") + QString::fromStdString(status.error().message));
        return false;
    }
    m_shown = text;
    emit notesPosted(m_recno);
    return true;
}

bool TaskNotesBinding::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_notes && event->type() == QEvent::FocusOut)
        (void)post();
    return QObject::eventFilter(watched, event);
}

} // namespace quorvo
