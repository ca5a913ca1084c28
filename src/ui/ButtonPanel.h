#pragma once

#include <QFrame>

class QHBoxLayout;
class QPushButton;

namespace quorvo {

// A bar of push buttons of one height, laid left to right. A hidden button keeps its place, so the others do not
// move under the pointer when commands come and go.
class ButtonPanel : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kButtonHeight = 32;

    ButtonPanel(const QString& name, int height, QWidget* parent = nullptr);

    QPushButton* addButton(const QString& name, const QString& caption);
    // What follows sits at the right end of the bar.
    void addStretch();

private:
    QHBoxLayout* m_layout;
};

} // namespace quorvo
