#include "help/TyardimF.h"

TyardimF::TyardimF(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("yardimF"));
    setWindowTitle(QStringLiteral("Yardım"));
    resize(600, 450);
}
