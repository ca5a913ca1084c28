#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace quorvo {

// The About window: the program's logo, name and version, closed with its Ok button. It stays above the
// program's other windows and has neither a system menu nor minimise and maximise boxes.
class TSplashform : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kLogoSide = 64;

    explicit TSplashform(QWidget* parent = nullptr);

    // "64-bit version" or "32-bit version", by the processor the program was built for.
    static QString wordSizeText();

public slots:
    void OKbuttonClick();

private:
    void FormCreate();

    QLabel* m_image1;
    QLabel* m_titleLabel;
    QLabel* m_versionLabel;
    QLabel* m_label3216;
    QFrame* m_bevel1;
    QPushButton* m_okButton;
};

} // namespace quorvo
