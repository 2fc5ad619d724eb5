#pragma once

#include <QString>
#include <QUrl>

// The program's own page, "baslangic.html", which the web panel shows when the
// program has no maker's site: what the program does, the list it carries,
// how to bring in a new one, the shortcuts. The build makes it from
// data/baslangic.html.in with the bundled list's figures.

// The page's path for the program at `executable`: beside the program in the
// build tree, else in share/meslekana/ relative to the installed program.
// Empty when neither exists.
QString ownStartPageFor(const QString& executable);

// The copy of the page built into the program (a qrc: address).
QUrl builtInStartPage();
