#include "support/TSplashform.h"

#include "ui/ProgramIdentity.h"
#include "ui/ProgramLogo.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>

namespace quorvo {

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 150;
constexpr int kMargin = 12;
constexpr int kTextLeft = kMargin + TSplashform::kLogoSide + 16;
constexpr int kBevelTop = 94;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

} // namespace

TSplashform::TSplashform(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      m_image1(new QLabel(this)), m_titleLabel(new QLabel(this)), m_versionLabel(new QLabel(this)),
      m_label3216(new QLabel(this)), m_bevel1(new QFrame(this)), m_okButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("Splashform"));
    setWindowTitle(QStringLiteral("About Quorvo"));
    setWindowIcon(ProgramLogo::icon());
    setFixedSize(kWidth, kHeight);

    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setPixmap(ProgramLogo::pixmap(kLogoSide));
    m_image1->setGeometry(kMargin, kMargin, kLogoSide, kLogoSide);

    m_titleLabel->setObjectName(QStringLiteral("TitleLabel"));
    m_titleLabel->setText(ProgramIdentity::title());
    QFont title = font();
    title.setPixelSize(22);
    title.setBold(true);
    m_titleLabel->setFont(title);
    m_titleLabel->setGeometry(kTextLeft, kMargin, kWidth - kTextLeft - kMargin, 30);

    m_versionLabel->setObjectName(QStringLiteral("VersionLabel"));
    m_versionLabel->setGeometry(kTextLeft, kMargin + 36, kWidth - kTextLeft - kMargin, 18);
    m_label3216->setObjectName(QStringLiteral("Label3216"));
    m_label3216->setGeometry(kTextLeft, kMargin + 56, kWidth - kTextLeft - kMargin, 18);

    m_bevel1->setObjectName(QStringLiteral("Bevel1"));
    m_bevel1->setFrameShape(QFrame::HLine);
    m_bevel1->setFrameShadow(QFrame::Sunken);
    m_bevel1->setGeometry(kMargin, kBevelTop, kWidth - 2 * kMargin, 2);

    m_okButton->setObjectName(QStringLiteral("OKButton"));
    m_okButton->setText(QStringLiteral("Ok"));
    m_okButton->setDefault(true);
    m_okButton->setGeometry((kWidth - kButtonWidth) / 2, kBevelTop + 16, kButtonWidth, kButtonHeight);
    connect(m_okButton, &QPushButton::clicked, this, &TSplashform::OKbuttonClick);

    FormCreate();
}

QString TSplashform::wordSizeText()
{
    // The window says what it runs as; a 64-bit build calling itself 32-bit would mislead whoever reads it out
    // to technical support.
    return QSysInfo::WordSize == 64 ? QStringLiteral("64-bit version") : QStringLiteral("32-bit version");
}

void TSplashform::FormCreate()
{
    m_versionLabel->setText(QStringLiteral("Version ") + ProgramIdentity::version());
    m_label3216->setText(wordSizeText());
}

void TSplashform::OKbuttonClick()
{
    accept();
}

} // namespace quorvo
