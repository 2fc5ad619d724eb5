#pragma once

#include <QByteArray>

class QTextDocument;

// What the help window shows for the bytes of a help file: a file that begins
// with "{\rtf" is read as RTF (best effort), anything else as plain text.
// Replaces the document's content. Bad input never throws, crashes or hangs;
// text past the help view's capacity is dropped.
void loadHelpDocument(const QByteArray& bytes, QTextDocument& document);

// The help view's capacity in characters.
constexpr int HelpTextCapacity = 16777215;
