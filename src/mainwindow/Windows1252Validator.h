#pragma once

#include <QValidator>

namespace quorvo {

// Refuses text that the task file cannot hold, so a typed or pasted character outside Windows-1252 never
// gets into an editor in the first place (the whole paste is refused, as a validator does).
class Windows1252Validator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override;
};

} // namespace quorvo
