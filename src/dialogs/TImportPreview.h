#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace quorvo {

class ICalImportPreview;

// "Import iCalendar": what an import from a file will do, before it is done. The tasks it will add and those
// it will update are listed, what the file holds that no task becomes is counted; Import makes it, Cancel
// leaves the task list as it is.
class TImportPreview : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 440;
    static constexpr int kClientHeight = 380;

    TImportPreview(const QString& fileName, const ICalImportPreview& preview, QWidget* parent = nullptr);

    QLabel* FileLabel;
    QLabel* AddLabel;
    QListWidget* AddList;
    QLabel* UpdateLabel;
    QListWidget* UpdateList;
    QLabel* SkippedLabel;
    QPushButton* OKButton;
    QPushButton* CancelButton;
};

} // namespace quorvo
