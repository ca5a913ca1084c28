#include "mainwindow/TaskNotesBinding.h"

#include "mainwindow/KeepTablePosition.h"
#include "store/Messages.h"
#include "store/TodoTable.h"
#include "store/Windows1252.h"

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

bool storable(QChar c)
{
    return isBreak(c) || Windows1252::canEncode(c);
}

} // namespace

TaskNotesBinding::TaskNotesBinding(QPlainTextEdit* notes, TodoTable& table, QObject* parent)
    : QObject(parent), m_notes(notes), m_table(table)
{
    m_notes->installEventFilter(this);
    connect(m_notes->document(), &QTextDocument::contentsChange, this, &TaskNotesBinding::refuseUnstorable);
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

QString TaskNotesBinding::shownText() const
{
    // The raw text, because the plain text turns a no-break space (a character of the file) into a blank.
    QString text = m_notes->document()->toRawText();
    for (QChar& c : text) {
        if (isBreak(c))
            c = u'\n';
    }
    return text;
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
    removeUnstorable();
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
    if (watched == m_notes) {
        if (event->type() == QEvent::FocusOut) {
            (void)post();
        } else if (event->type() == QEvent::KeyPress && !m_notes->isReadOnly()) {
            const QString typed = static_cast<QKeyEvent*>(event)->text();
            if (!typed.isEmpty() && !Windows1252::canEncode(typed)) {
                QApplication::beep();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void TaskNotesBinding::refuseUnstorable(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (m_cleanupQueued)
        return;
    const QTextDocument* document = m_notes->document();
    for (int i = position; i < position + added; ++i) {
        if (!storable(document->characterAt(i))) {
            // Not from inside the document's own change notification: on the next turn of the event loop.
            m_cleanupQueued = true;
            QTimer::singleShot(0, this, &TaskNotesBinding::removeUnstorable);
            return;
        }
    }
}

void TaskNotesBinding::removeUnstorable()
{
    m_cleanupQueued = false;
    if (!m_notes)
        return;
    const QString text = m_notes->document()->toRawText();
    QTextCursor cursor(m_notes->document());
    bool removed = false;
    // Whole runs at a time, back to front, so a pair of surrogates goes as one and earlier positions hold.
    for (qsizetype end = text.size(); end > 0;) {
        if (storable(text[end - 1])) {
            --end;
            continue;
        }
        qsizetype start = end - 1;
        while (start > 0 && !storable(text[start - 1]))
            --start;
        if (!removed)
            cursor.beginEditBlock();
        removed = true;
        cursor.setPosition(static_cast<int>(start));
        cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        end = start;
    }
    if (removed) {
        cursor.endEditBlock();
        QApplication::beep();
    }
}

} // namespace quorvo
