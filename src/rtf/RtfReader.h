#pragma once

#include <QByteArray>
#include <QString>
#include <QTextCharFormat>
#include <QtGlobal>

class QTextDocument;

// Our RTF reader: turns the RTF that common word processors write into a
// QTextDocument. It needs no display and never throws.
//
// Read: groups and destinations (an unknown `\*` destination is skipped),
// `\'hh` in the current font's \fcharset or else \ansicpg, `\uN` with `\ucN`,
// the Symbol font's text as the characters it shows (in the view's font),
// the font and colour tables, character formatting (font, size, bold, italic,
// underline, strike, hidden, super/subscript, \cf, \highlight/\cb), paragraph
// formatting (alignment, indents, spacing, tab stops), \par, \line, \tab, the special
// characters, list texts (the bullets and numbers the writer put in
// \listtext/\pntext), HYPERLINK fields as anchors, \pict (PNG, JPEG and DIB shown,
// other kinds as an empty frame of their size; {\*\shppict} read,
// {\nonshppict} skipped) and tables as rows of tab-separated cells, with tab
// stops at the cell edges.
//
// Best effort: bad input gives what could be made of it. Line ends in the
// bytes are ignored, as RTF wants, so \bin data arrives untouched.
namespace rtf {

// Limits on untrusted input.
constexpr int MaxGroupDepth = 256;                       // deeper groups are skipped whole
constexpr int MaxControlWordLength = 32;                 // longer words are ignored
constexpr int MaxParameter = 1'000'000'000;              // parameters saturate here
constexpr int MaxTableEntries = 4096;                    // fonts and colours; others ignored
constexpr int MaxFieldInstruction = 4096;                // characters kept of a field's code
constexpr qsizetype MaxPictureBytes = 32 * 1024 * 1024;  // more data is dropped
constexpr int MaxPictureSide = 4000;                     // display size in pixels, per side
constexpr qint64 MaxDecodedPixels = 40'000'000;          // larger pictures become frames

// Appends the content of `rtf` to `document` (normally empty), at most
// `capacity` characters (a paragraph end and a picture count one each); the
// rest is dropped. \bin lengths are bounded by the bytes that are there.
void readRtf(const QByteArray& rtf, QTextDocument& document, qsizetype capacity);

// How a link looks: an anchor to `href`, underlined, blue. HYPERLINK fields
// get it here, and the bare web addresses marked afterwards get the same.
QTextCharFormat linkFormat(const QString& href);

}  // namespace rtf
