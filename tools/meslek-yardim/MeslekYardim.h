#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

class QTextDocument;

// `meslek-yardim FILE [--html]`: prints what the help window shows for FILE,
// as plain text (one line per paragraph, a link as its text, a picture as
// "[resim]") or as HTML. A help author's check, and the tests' way to see the
// reader's result without a window.
namespace yardim {

// The document as the plain-text output shows it, ending in a line feed.
QString documentText(const QTextDocument& document);

// `arguments` excludes the program name. Returns the exit code: 0 printed,
// 1 the file could not be read, 2 wrong usage.
int runMeslekYardim(const QStringList& arguments, QIODevice& out, QIODevice& err);

}  // namespace yardim
