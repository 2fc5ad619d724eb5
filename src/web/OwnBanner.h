#pragma once

#include <QPixmap>

// The banner of a program without a maker's site: 334 by 159 pixels, naming
// the program and the list it carries (its row count and codes from the
// bundled list). The window shows its top 121 rows, so everything it says
// stands there. Needs the application object (it draws text).
QPixmap drawOwnBanner();
