#include "dialogs/TImportPreview.h"

#include "tasks/ICalImportPreview.h"
#include "ui/DialogFont.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvo {

namespace {

QLabel* newLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QListWidget* newList(const char* name, const std::vector<ICalImportPreview::Entry>& entries, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setSelectionMode(QAbstractItemView::NoSelection);
    for (const ICalImportPreview::Entry& entry : entries)
        list->addItem(entry.text);
    return list;
}

} // namespace

TImportPreview::TImportPreview(const QString& fileName, const ICalImportPreview& preview, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ImportPreview"));
    setWindowTitle(tr("Import iCalendar"));
    setFont(DialogFont());
    resize(kClientWidth, kClientHeight);

    FileLabel = newLabel("FileLabel", QFileInfo(fileName).fileName(), this);
    AddLabel = newLabel("AddLabel", preview.addedText(), this);
    AddList = newList("AddList", preview.added(), this);
    UpdateLabel = newLabel("UpdateLabel", preview.updatedText(), this);
    UpdateList = newList("UpdateList", preview.updated(), this);
    SkippedLabel = newLabel("SkippedLabel", preview.skippedText(), this);
    // A list with nothing in it says so in its heading alone.
    AddList->setVisible(AddList->count() > 0);
    UpdateList->setVisible(UpdateList->count() > 0);

    OKButton = new QPushButton(tr("Import"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FileLabel);
    layout->addWidget(AddLabel);
    layout->addWidget(AddList, 2);
    layout->addWidget(UpdateLabel);
    layout->addWidget(UpdateList, 1);
    layout->addWidget(SkippedLabel);
    layout->addLayout(buttons);
}

} // namespace quorvo
