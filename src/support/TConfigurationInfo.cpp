#include "support/TConfigurationInfo.h"

#include "store/Messages.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

namespace quorvo {

namespace {

constexpr int kMargin = 11;
constexpr int kMemoTop = 88;
constexpr int kButtonTop = 330;
constexpr int kButtonHeight = 25;
constexpr int kOkWidth = 75;
constexpr int kCopyWidth = 120;
// Tab stops every eight characters, as in a plain text box: a 13-character label and its tab put every value
// in the same column.
constexpr int kTabCharacters = 8;

} // namespace

TConfigurationInfo::TConfigurationInfo(QWidget* parent)
    : QDialog(parent), m_label1(new QLabel(this)), m_memo1(new QPlainTextEdit(this)), m_button1(new QPushButton(this)),
      m_button2(new QPushButton(this)), m_panel1(new QWidget(this)), m_copyPasteMemo(new QPlainTextEdit(m_panel1))
{
    setObjectName(QStringLiteral("ConfigurationInfo"));
    setWindowTitle(QStringLiteral("Configuration Information"));
    setFixedSize(kClientWidth, kClientHeight);

    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_label1->setText(tr("The information below is very helpful when you send a message to technical support. "
                         "The \"Copy to Clipboard\" button copies it to the clipboard, from where you can paste it "
                         "(Paste command or Ctrl+V) into your e-mail program or word processor."));
    m_label1->setGeometry(kMargin, 4, kClientWidth - 2 * kMargin, kLabelHeight);

    m_memo1->setObjectName(QStringLiteral("Memo1"));
    QFont mono(QStringLiteral("Liberation Mono"));
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPixelSize(12);
    m_memo1->setFont(mono);
    QPalette palette = m_memo1->palette();
    palette.setColor(QPalette::Text, Qt::black);
    m_memo1->setPalette(palette);
    m_memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo1->setTabChangesFocus(false);
    m_memo1->setTabStopDistance(QFontMetricsF(mono).horizontalAdvance(u' ') * kTabCharacters);
    m_memo1->setGeometry((kClientWidth - kMemoWidth) / 2, kMemoTop, kMemoWidth, kMemoHeight);

    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setText(QStringLiteral("OK"));
    m_button2->setGeometry(kMargin, kButtonTop, kOkWidth, kButtonHeight);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setText(QStringLiteral("Copy to Clipboard"));
    m_button1->setGeometry((kClientWidth - kCopyWidth) / 2, kButtonTop, kCopyWidth, kButtonHeight);
    m_button1->setAutoDefault(false);
    m_button2->setAutoDefault(false);

    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_copyPasteMemo->setObjectName(QStringLiteral("CopyPasteMemo"));
    m_panel1->hide();

    connect(m_button1, &QPushButton::clicked, this, &TConfigurationInfo::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &TConfigurationInfo::Button2Click);
}

void TConfigurationInfo::appendLines(const QStringList& lines)
{
    for (const QString& line : lines)
        m_memo1->appendPlainText(line);
}

void TConfigurationInfo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TConfigurationInfo::FormActivate()
{
    m_memo1->moveCursor(QTextCursor::Start);
    m_memo1->ensureCursorVisible();
}

void TConfigurationInfo::Button1Click()
{
    // The copy goes through its own box so that the report's selection and scroll position stay as they are.
    m_copyPasteMemo->setPlainText(m_memo1->toPlainText());
    m_copyPasteMemo->selectAll();
    // The raw text keeps what plain text would change (a no-break space used as the thousands separator);
    // its paragraph breaks become the line ends other programs expect.
    QString text = m_copyPasteMemo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    QApplication::clipboard()->setText(text);
    ShowCaptionedInfo(QStringLiteral("Configuration Information"),
                      QStringLiteral("Information copied to Windows clipboard"));
}

void TConfigurationInfo::Button2Click()
{
    accept();
}

} // namespace quorvo
