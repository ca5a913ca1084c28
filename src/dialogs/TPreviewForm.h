#pragma once

#include <QDialog>
#include <QStyle>

class QPushButton;
class QScrollArea;

namespace quorvo {

class ButtonPanel;
class HelpService;
class PageStream;
class PopupHelp;
class TFilePreview;

// "Preview Report": the pages of a preview run, one at a time, with zoom and page buttons. It only reads
// the page stream, which the run owns. Its placement is kept in the main window's preferences file.
class TPreviewForm : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 608;
    static constexpr int kClientHeight = 424;
    static constexpr int kButtonBarHeight = 41;

    enum OpeningZoom
    {
        WholePage = 1,
        PageWidth = 2
    };

    // preferencesFile keeps the placement; mainWindow places the window the first time.
    TPreviewForm(const QString& preferencesFile, QWidget* mainWindow, HelpService* help, QWidget* parent = nullptr);
    ~TPreviewForm() override;

    void setPageStream(const PageStream* stream) { m_stream = stream; }
    // 1 whole page, 2 page width, anything else that percentage.
    void setOpeningZoom(double mode) { m_openingZoom = mode; }
    double openingZoom() const { return m_openingZoom; }

    TFilePreview* FilePreview1;
    QScrollArea* ScrollBox1;
    ButtonPanel* Panel2;
    QPushButton* ReturnButton;
    QPushButton* sbZoomIn;
    QPushButton* sbZoomOut;
    QPushButton* sbZoomPageWidth;
    QPushButton* sbZoomPage;
    QPushButton* zbZoom100;
    QPushButton* sbFirstPage;
    QPushButton* sbPrevPage;
    QPushButton* sbNextPage;
    QPushButton* sbLastPAge;
    QPushButton* Helpbutton;
    QPushButton* MouseHelpButton;

    void FormActivate();
    void FilePreview1PageChange();
    void ScrollBoxMouseDown(Qt::MouseButton button);
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* addPictureButton(const QString& name, QStyle::StandardPixmap fallback, const QString& theme);

    QString m_preferencesFile;
    HelpService* m_help;
    PopupHelp* m_popupHelp;
    const PageStream* m_stream = nullptr;
    double m_openingZoom = WholePage;
    bool m_firstActivation = true;
    bool m_closed = false;
};

// The magnifying-glass pointer of the preview's scroll box.
QCursor MagnifyCursor();

} // namespace quorvo
