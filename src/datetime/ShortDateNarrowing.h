#pragma once

#include "datetime/DateFormats.h"

namespace quorvo {

// Narrows the user settings' short date pattern for as long as it lives: one task-editor command.
class ShortDateNarrowing
{
public:
    explicit ShortDateNarrowing(DateFormats& formats) : m_formats(formats) { m_formats.narrowUserShortDatePattern(); }
    ~ShortDateNarrowing() { m_formats.restoreUserShortDatePattern(); }
    ShortDateNarrowing(const ShortDateNarrowing&) = delete;
    ShortDateNarrowing& operator=(const ShortDateNarrowing&) = delete;

private:
    DateFormats& m_formats;
};

} // namespace quorvo
