#pragma once

#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>

#include <cstdint>

class QTextDocument;

namespace quorvo {

class TodoTable;
class Windows1252TextGuard;

// The notes box bound to NOTE of the current task. Line breaks are CR LF in the file and line breaks in the
// box. What is typed stays in the box until it loses the focus (or post() is called), and is written then,
// only if it changed, to the task it was typed for. Characters that Windows-1252 cannot hold are refused
// as they come in. Without a current task the box is empty and read-only.
class TaskNotesBinding : public QObject
{
    Q_OBJECT

public:
    // The box and the table must outlive the binding.
    TaskNotesBinding(QPlainTextEdit* notes, TodoTable& table, QObject* parent = nullptr);
    ~TaskNotesBinding() override;

    // Shows the notes of the table's current task; typed notes of the task shown before are posted first,
    // never dropped.
    void load();
    // Writes typed notes to their task and posts them (ActiveNotesExit). True when there was nothing to
    // write or the write succeeded; a failure is reported, and the box shows the stored notes again.
    bool post();
    // The box holds text that differs from the stored notes.
    bool modified() const;
    // The task whose notes are shown; 0 for none.
    std::uint32_t recno() const { return m_recno; }

    // The box's text in the file's form, and the file's text in the box's form.
    static QString toStored(const QString& shown);
    static QString toShown(const QString& stored);
    // What a notes box holds, every character of the file kept: the plain text would turn a no-break space
    // into a blank.
    static QString textOf(const QTextDocument& document);

signals:
    // Typed notes are about to be written to this task, which the table stands on.
    void aboutToWrite(quint32 recno);
    // Typed notes were posted to this task.
    void notesPosted(quint32 recno);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString shownText() const;

    QPointer<QPlainTextEdit> m_notes;
    TodoTable& m_table;
    std::uint32_t m_recno = 0;
    QString m_shown;
    QPointer<Windows1252TextGuard> m_guard;
};

} // namespace quorvo
