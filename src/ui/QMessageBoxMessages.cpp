#include "ui/QMessageBoxMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace quorvo {

namespace {

QWidget* messageParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

int showBox(QMessageBox::Icon icon, const QString& caption, const QString& text, QMessageBox::StandardButtons buttons,
            QMessageBox::StandardButton defaultButton, QMessageBox::StandardButton escapeButton)
{
    QMessageBox box(icon, caption, MessageBoxText(text), buttons, messageParent());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
    return box.exec();
}

// Long commands set the hourglass, possibly more than once; none of it may hide a message.
void restoreDefaultCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

} // namespace

bool QMessageBoxMessages::askYesNo(const QString& text)
{
    return showBox(QMessageBox::Question, QStringLiteral("Quorvo"), text, QMessageBox::Yes | QMessageBox::No,
                   QMessageBox::Yes, QMessageBox::No) == QMessageBox::Yes;
}

void QMessageBoxMessages::showInfo(const QString& text)
{
    restoreDefaultCursor();
    showBox(QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok, QMessageBox::Ok,
            QMessageBox::Ok);
}

void QMessageBoxMessages::showCaptionedInfo(const QString& caption, const QString& text)
{
    restoreDefaultCursor();
    showBox(QMessageBox::Information, caption, text, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

void QMessageBoxMessages::showError(const QString& text)
{
    restoreDefaultCursor();
    showBox(QMessageBox::Critical, QStringLiteral("Quorvo"), text, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

} // namespace quorvo
