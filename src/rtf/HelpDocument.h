#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// What the help window shows for the bytes of a help file: a file that begins
// with "{\rtf" is read as RTF (best effort, see rtf/RtfReader.h), anything
// else as plain text (plainHelpText). Replaces the document's content and
// marks its web addresses as links (markWebAddresses). Bad input never
// throws, crashes or hangs; text past the help view's capacity is dropped.
void loadHelpDocument(const QByteArray& bytes, QTextDocument& document);

// The help view's capacity in characters.
constexpr int HelpTextCapacity = 16777215;

// A plain-text help file as text: UTF-8 when the bytes are valid UTF-8 (a
// byte-order mark is dropped), otherwise Windows-1254. A line feed alone, a
// carriage return alone and the pair carriage return plus line feed each end
// a line ('\n'). At most HelpTextCapacity characters.
QString plainHelpText(const QByteArray& bytes);

// Marks the bare web addresses of the document ("http://", "https://" and
// "www." up to the next blank, without trailing punctuation) as links, the
// way the reader marks HYPERLINK fields: anchor, underlined, blue. Text that
// is already a link keeps its target. A "www." address links to "http://www.".
void markWebAddresses(QTextDocument& document);
