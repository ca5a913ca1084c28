#include "ui/StatusPanel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace quorvo {

StatusPanel::StatusPanel(QWidget* parent) : QFrame(parent), m_caption(new QLabel(this))
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);

    auto* label = new QLabel(tr("Status:"), this);
    label->setObjectName(QStringLiteral("StatusLabel"));
    m_caption->setObjectName(QStringLiteral("StatusCaption"));
    m_caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_caption->setText(tr("Opening Files..."));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->addWidget(label);
    layout->addWidget(m_caption);
}

QString StatusPanel::text() const
{
    return m_caption->text();
}

void StatusPanel::setStatusText(const QString& text)
{
    m_caption->setText(text);
    if (isVisible())
        repaint();
    QCoreApplication::processEvents();
}

} // namespace quorvo
