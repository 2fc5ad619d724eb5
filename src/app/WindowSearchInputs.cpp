#include "app/WindowSearchInputs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

QString WindowSearchInputs::term1() const { return term1_->text(); }

QString WindowSearchInputs::term2() const { return term2_->text(); }

bool WindowSearchInputs::orChosen() const { return or_->isChecked(); }

bool WindowSearchInputs::autoSearchChecked() const { return auto_->isChecked(); }

void WindowSearchInputs::clearTerms() {
    term1_->clear();
    term2_->clear();
}
