#include "ui/ModalRunner.h"

#include <QDialog>

#include <utility>

namespace quorvo {

namespace {

ModalRunner::Script& installedScript()
{
    static ModalRunner::Script script;
    return script;
}

} // namespace

int ModalRunner::run(QDialog& dialog)
{
    // A copy, so a script may install another one for the dialogs it opens in turn.
    const Script script = installedScript();
    return script ? script(dialog) : dialog.exec();
}

ModalRunner::Script ModalRunner::install(Script script)
{
    return std::exchange(installedScript(), std::move(script));
}

} // namespace quorvo
