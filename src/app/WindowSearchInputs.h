#pragma once

#include <QString>

#include "search/SearchCommands.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

// The search boxes, radio buttons and check box as the search commands read them.
class WindowSearchInputs : public SearchInputs {
public:
    WindowSearchInputs(QLineEdit* term1, QLineEdit* term2, QRadioButton* orButton,
                       QCheckBox* autoSearch)
        : term1_(term1), term2_(term2), or_(orButton), auto_(autoSearch) {}

    QString term1() const override;
    QString term2() const override;
    bool orChosen() const override;
    bool autoSearchChecked() const override;
    void clearTerms() override;

private:
    QLineEdit* term1_;
    QLineEdit* term2_;
    QRadioButton* or_;
    QCheckBox* auto_;
};
