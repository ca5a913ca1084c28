#pragma once

#include <QFrame>

class QLabel;

namespace quorvo {

// The panel that tells what a long step is doing: a "Status:" label over a line of text. It paints each new
// text at once, because the steps it reports on keep the event loop waiting.
class StatusPanel : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kWidth = 437;
    static constexpr int kHeight = 70;

    explicit StatusPanel(QWidget* parent = nullptr);

    QString text() const;
    // Shows the text and lets pending window messages through, so the panel is painted before the caller
    // goes on.
    void setStatusText(const QString& text);

private:
    QLabel* m_caption;
};

} // namespace quorvo
