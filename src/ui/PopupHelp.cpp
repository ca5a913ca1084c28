#include "ui/PopupHelp.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTextDocument>
#include <QWhatsThis>
#include <QWhatsThisClickedEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace quorvo {

namespace {

const QLatin1String kMoreHelpLink("quorvo-help:contents");

QString bodyOf(const QString& text)
{
    // pre-wrap keeps the texts' doubled blanks and their line breaks as written.
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + plain.toHtmlEscaped() +
           QStringLiteral("</p><p><a href=\"") + kMoreHelpLink + QStringLiteral("\">") +
           PopupHelp::moreHelpCaption().toHtmlEscaped() + QStringLiteral("</a></p>");
}

} // namespace

PopupHelp::PopupHelp(QObject* parent, int maxTextWidth) : QObject(parent), m_maxTextWidth(maxTextWidth) {}

void PopupHelp::attach(QWidget* control, const QString& text)
{
    control->setWhatsThis(richText(text, m_maxTextWidth));
    auto* action = new QAction(tr("What's this?"), control);
    action->setObjectName(QStringLiteral("Whatsthis"));
    connect(action, &QAction::triggered, control, [control] { showFor(control); });
    control->addAction(action);
    control->setContextMenuPolicy(Qt::ActionsContextMenu);
    control->installEventFilter(this);
}

void PopupHelp::attachByName(const QWidget& window, std::span<const Text> texts)
{
    for (const Text& entry : texts) {
        auto* control = window.findChild<QWidget*>(QLatin1String(entry.control));
        Q_ASSERT(control);
        if (control)
            attach(control, QString::fromUtf8(entry.text));
    }
}

QString PopupHelp::richText(const QString& text, int maxWidth)
{
    // The pop-up lays its text out at a width of its own choosing, which runs far past the limit for the longer
    // texts. A table of fixed width is the one thing its layout keeps, so the width is measured here: the text's
    // own width when it is narrower, else the limit, where it wraps.
    const QString body = bodyOf(text);
    QTextDocument measure;
    measure.setDefaultFont(QApplication::font("QWhatsThat"));
    measure.setDocumentMargin(0);
    measure.setHtml(body);
    const int natural = static_cast<int>(std::ceil(measure.idealWidth()));
    const int width = std::min(natural, maxWidth);
    return QStringLiteral("<table width=\"%1\" cellspacing=\"0\" cellpadding=\"0\"><tr><td>").arg(width) + body +
           QStringLiteral("</td></tr></table>");
}

QString PopupHelp::moreHelpCaption()
{
    return tr("Click here or press F1 for more...");
}

void PopupHelp::enterWhatsThisMode()
{
    QWhatsThis::enterWhatsThisMode();
}

void PopupHelp::useWindowColour()
{
    QPalette palette = QApplication::palette("QWhatsThat");
    const QPalette system = QApplication::palette();
    palette.setColor(QPalette::ToolTipBase, system.color(QPalette::Window));
    palette.setColor(QPalette::ToolTipText, system.color(QPalette::WindowText));
    QApplication::setPalette(palette, "QWhatsThat");
}

QIcon PopupHelp::mouseHelpIcon()
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath arrow;
    arrow.moveTo(2, 1);
    arrow.lineTo(2, 15);
    arrow.lineTo(5.5, 11.5);
    arrow.lineTo(8, 17);
    arrow.lineTo(10, 16);
    arrow.lineTo(7.5, 10.5);
    arrow.lineTo(12, 10.5);
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::black);
    painter.drawPath(arrow);

    QFont font = painter.font();
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 160));
    painter.drawText(QRect(11, 0, 9, 14), Qt::AlignCenter, QStringLiteral("?"));
    painter.end();
    return QIcon(pixmap);
}

bool PopupHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WhatsThisClicked &&
        static_cast<QWhatsThisClickedEvent*>(event)->href() == kMoreHelpLink) {
        QWhatsThis::hideText();
        emit moreHelpRequested();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void PopupHelp::showFor(QWidget* control)
{
    // Beside the pointer when the menu was opened with the mouse, else at the middle of the control.
    QPoint at = QCursor::pos();
    if (!control->rect().contains(control->mapFromGlobal(at)))
        at = control->mapToGlobal(control->rect().center());
    QWhatsThis::showText(at, control->whatsThis(), control);
}

} // namespace quorvo
