#include "ui/ButtonPanel.h"

#include <QHBoxLayout>
#include <QPushButton>

#include <algorithm>

namespace quorvo {

namespace {

// Narrow captions ("&New") get the width of the wider ones, as on a tool bar of equal keys.
constexpr int kMinimumButtonWidth = 64;
constexpr int kCaptionPadding = 20;

} // namespace

ButtonPanel::ButtonPanel(const QString& name, int height, QWidget* parent)
    : QFrame(parent), m_layout(new QHBoxLayout(this))
{
    setObjectName(name);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFixedHeight(height);
    const int vertical = std::max(0, (height - kButtonHeight) / 2);
    m_layout->setContentsMargins(4, vertical, 4, height - kButtonHeight - vertical);
    m_layout->setSpacing(2);
}

QPushButton* ButtonPanel::addButton(const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setFixedHeight(kButtonHeight);
    button->setAutoDefault(false);
    const int captionWidth = button->fontMetrics().horizontalAdvance(button->text().remove(QLatin1Char('&')));
    button->setMinimumWidth(std::max(kMinimumButtonWidth, captionWidth + kCaptionPadding));
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button->setSizePolicy(policy);
    m_layout->addWidget(button);
    return button;
}

void ButtonPanel::addStretch()
{
    m_layout->addStretch();
}

} // namespace quorvo
