#pragma once

#include <QString>
#include <QStringView>

// A value from a file, the database or a caller, made safe to show inside a
// message on a terminal or in the journal: at most MaxShownCharacters of it
// (then "…"), and every control character (C0, DEL, C1), line or paragraph
// separator and bidirectional formatting character written as an escape
// ("\n", "\t", "\r", else "\u202E"), so that a value can neither flood the
// output, nor move the cursor, nor reorder the text around it. A backslash
// stays a single backslash: the escapes are for reading, not for parsing.
namespace shownvalue {

constexpr qsizetype MaxShownCharacters = 80;

QString shown(QStringView value);

// A path, escaped the same way. Paths are cut only beyond
// MaxShownPathCharacters, in the middle, so that a real path is shown whole
// and a cut one still ends with its file's name.
constexpr qsizetype MaxShownPathCharacters = 1024;

QString shownPath(QStringView path);

}  // namespace shownvalue
