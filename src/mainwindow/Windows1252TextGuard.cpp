#include "mainwindow/Windows1252TextGuard.h"

#include "store/Windows1252.h"

#include <QApplication>
#include <QKeyEvent>
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

Windows1252TextGuard::Windows1252TextGuard(QPlainTextEdit* box) : QObject(box), m_box(box)
{
    m_box->installEventFilter(this);
    connect(m_box->document(), &QTextDocument::contentsChange, this, &Windows1252TextGuard::refuseUnstorable);
}

bool Windows1252TextGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box && event->type() == QEvent::KeyPress && !m_box->isReadOnly()) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (!typed.isEmpty() && !Windows1252::canEncode(typed)) {
            QApplication::beep();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void Windows1252TextGuard::refuseUnstorable(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (m_cleanupQueued || !m_box)
        return;
    const QTextDocument* document = m_box->document();
    for (int i = position; i < position + added; ++i) {
        if (!storable(document->characterAt(i))) {
            m_cleanupQueued = true;
            QTimer::singleShot(0, this, &Windows1252TextGuard::removeUnstorable);
            return;
        }
    }
}

void Windows1252TextGuard::removeUnstorable()
{
    m_cleanupQueued = false;
    if (!m_box)
        return;
    const QString text = m_box->document()->toRawText();
    QTextCursor cursor(m_box->document());
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
