#pragma once

class QApplication;

#include <QString>

// Tahoma comes from Wine's fonts, which fontconfig does not look at: register
// it with the application. The program's own mended copy of the two faces is
// taken when it is there (see programFontFolderFor), else Wine's files.
// Returns whether Tahoma is usable.
bool registerTahoma();

// Where the program's own fonts lie for the program at `executable`: its
// `fonts/` folder when that holds them (the build tree), else the installed
// share/meslekana/fonts/ relative to it.
QString programFontFolderFor(const QString& executable);
// MS Sans Serif, the dialogs' font, from the same place.
bool registerMsSansSerif();

// Qt's own Turkish texts (standard button captions and the like).
void loadTurkishTranslations(QApplication& application);
