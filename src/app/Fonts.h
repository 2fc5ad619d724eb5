#pragma once

class QApplication;

// Tahoma comes from Wine's fonts, which fontconfig does not look at: register
// it with the application when it is there. Returns whether Tahoma is usable.
bool registerTahoma();
// MS Sans Serif, the dialogs' font, from the same place.
bool registerMsSansSerif();

// Qt's own Turkish texts (standard button captions and the like).
void loadTurkishTranslations(QApplication& application);
