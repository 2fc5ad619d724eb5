#pragma once

class QFont;

// A font's text metrics as Windows measures them: ascent and descent come from
// the font's OS/2 table (usWinAscent, usWinDescent), each scaled to the font's
// pixel size and rounded on its own. Qt follows the typographic metrics that
// some fonts (Wine's Tahoma among them) ask for, which are smaller: Tahoma at
// 16 pixels is 16 high in Qt and 16 + 3 = 19 here. Every size in the window
// that is derived from a text height (grid rows, text offsets) uses these.
//
// A font without an OS/2 table (or one Qt cannot read) falls back to Qt's own
// ascent and descent.
struct WindowsTextMetrics {
    int ascent = 0;
    int descent = 0;
    int height() const { return ascent + descent; }

    static WindowsTextMetrics of(const QFont& font);
};
