#pragma once

#include "ui/FileDialogs.h"

namespace quorvo {

class SystemFileDialogs : public FileDialogs
{
public:
    std::optional<QString> getSaveFileName(QWidget* parent, const SaveRequest& request) override;
    std::optional<QString> getOpenFileName(QWidget* parent, const OpenRequest& request) override;

    // "HTM Document|*.htm" as the name filter Qt's dialogs take: "HTM Document (*.htm)".
    static QString qtNameFilter(const QString& filter);
};

} // namespace quorvo
