#pragma once

#include <functional>

class QDialog;

namespace quorvo {

// Where every modal dialog of the task commands and the task editor is shown. The program lets each one run
// its own modal loop; a test installs a script that fills the dialog's controls (or calls its handlers) and
// returns the result, so a command's whole path runs without a modal loop.
class ModalRunner
{
public:
    using Script = std::function<int(QDialog& dialog)>;

    // Shows the dialog modally and returns its result (QDialog::Accepted or QDialog::Rejected).
    static int run(QDialog& dialog);

    // Installs a script in place of the modal loop (an empty one restores it) and returns the one before.
    static Script install(Script script);
};

// Installs a script for its lifetime and puts the previous one back afterwards.
class ScopedModalScript
{
public:
    explicit ScopedModalScript(ModalRunner::Script script) : m_previous(ModalRunner::install(std::move(script))) {}
    ~ScopedModalScript() { ModalRunner::install(std::move(m_previous)); }
    ScopedModalScript(const ScopedModalScript&) = delete;
    ScopedModalScript& operator=(const ScopedModalScript&) = delete;

private:
    ModalRunner::Script m_previous;
};

} // namespace quorvo
