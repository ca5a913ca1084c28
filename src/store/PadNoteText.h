#pragma once

#include <QString>
#include <QStringList>

namespace quorvo {

// Every note is stored with one space appended to its last line when its length, counting each line
// break as a CR LF pair, is a positive multiple of four. Notes already in users' files were written by
// that rule, and notes we write must read back the same in every program that shares the files.

// The length of a note whose lines are separated by CR LF, LF or CR, each break counted as two.
qsizetype NoteTextLength(QStringView text);

// Whether the rule adds a space to this text.
bool NoteNeedsPadding(QStringView text);

// The text with the space appended when the rule asks for it.
QString PadNoteText(const QString& text);

// The same rule over the lines of a note (lines joined by CR LF, no break after the last); an empty list
// stays empty.
void PadNoteText(QStringList& lines);

} // namespace quorvo
