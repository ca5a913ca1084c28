#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace quorvo {

// The Configuration Information window: a report on the program and this machine that the user may edit
// and copy to the clipboard for a message to technical support.
class TConfigurationInfo : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 420;
    static constexpr int kClientHeight = 373;
    static constexpr int kMemoWidth = 397;
    static constexpr int kMemoHeight = 221;
    static constexpr int kLabelHeight = 79;

    explicit TConfigurationInfo(QWidget* parent = nullptr);

    void appendLines(const QStringList& lines);
    QPlainTextEdit* memo() const { return m_memo1; }

public slots:
    // Copies the report as it stands, edits included, with CR LF line ends, then says so.
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormActivate();

    QLabel* m_label1;
    QPlainTextEdit* m_memo1;
    QPushButton* m_button1;
    QPushButton* m_button2;
    QWidget* m_panel1;
    QPlainTextEdit* m_copyPasteMemo;
};

} // namespace quorvo
