#pragma once

#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>

namespace quorvo {

// Keeps a multi-line box to what the task file can hold: a typed character outside Windows-1252 is refused
// with a beep, and such characters pasted or dropped in are taken out again on the next turn of the event
// loop (not from inside the document's own change notification). Line breaks are always allowed.
class Windows1252TextGuard : public QObject
{
    Q_OBJECT

public:
    // Lives as long as the box, whose child it becomes.
    explicit Windows1252TextGuard(QPlainTextEdit* box);

    // Takes such characters out at once, for a caller about to read the box.
    void removeUnstorable();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refuseUnstorable(int position, int removed, int added);

    QPointer<QPlainTextEdit> m_box;
    bool m_cleanupQueued = false;
};

} // namespace quorvo
