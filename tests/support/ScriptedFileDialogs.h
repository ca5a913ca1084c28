#pragma once

#include "ui/FileDialogs.h"

#include <QList>
#include <QQueue>

namespace quorvo {

// A FileDialogs double installed for its lifetime: answers each save or open dialog from one queue (none is
// a cancel) and keeps every request.
class ScriptedFileDialogs final : public FileDialogs
{
public:
    ScriptedFileDialogs() : m_previous(FileDialogs::install(this)) {}
    ~ScriptedFileDialogs() override { FileDialogs::install(m_previous); }
    ScriptedFileDialogs(const ScriptedFileDialogs&) = delete;
    ScriptedFileDialogs& operator=(const ScriptedFileDialogs&) = delete;

    void answer(std::optional<QString> fileName) { m_answers.enqueue(std::move(fileName)); }

    std::optional<QString> getSaveFileName(QWidget*, const SaveRequest& request) override
    {
        requests.append(request);
        return m_answers.isEmpty() ? std::nullopt : m_answers.dequeue();
    }

    std::optional<QString> getOpenFileName(QWidget*, const OpenRequest& request) override
    {
        openRequests.append(request);
        return m_answers.isEmpty() ? std::nullopt : m_answers.dequeue();
    }

    QList<SaveRequest> requests;
    QList<OpenRequest> openRequests;

private:
    FileDialogs* m_previous;
    QQueue<std::optional<QString>> m_answers;
};

} // namespace quorvo
