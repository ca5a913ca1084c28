#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace quorvo {

class TodoTable;

// "Rebuild Indexes": packs the task table if asked, then builds the five tags again, showing which step
// runs and how far it is. The rebuild starts at the first activation; the window cannot be closed
// until it has finished, and then closes itself. An engine error is shown with the engine's text and
// the window still closes.
class TRebuildInd : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 288;
    static constexpr int kClientHeight = 141;

    TRebuildInd(TodoTable& table, QWidget* parent = nullptr);

    void setPackFirst(bool packFirst) { m_packFirst = packFirst; }
    bool finished() const { return m_finished; }

    // The rebuild itself; the first activation runs it once.
    void rebuild();
    // Escape and the like do nothing until the rebuild has finished.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void progressReport(int value);

    TodoTable& m_table;
    QProgressBar* m_gauge;
    QLabel* m_whatAmIDoing;
    bool m_packFirst = false;
    bool m_started = false;
    bool m_finished = false;
};

// Shows the rebuild window over the open, exclusive task table and waits until it has closed.
void RunIndexRebuild(TodoTable& table, bool packFirst, QWidget* mainWindow);

} // namespace quorvo
