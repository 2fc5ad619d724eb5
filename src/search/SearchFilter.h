#pragma once

#include <QString>
#include <QStringView>

class OccupationRecordSet;

// What the user asked for: the two search boxes as typed and the VE/VEYA choice.
struct SearchCriteria {
    QString term1;
    QString term2;
    bool orMode = false;  // VEYA chosen; VE otherwise
};

// `haystack` contains `needle`: both non-empty and `needle` occurs as an exact,
// case-sensitive run.
bool containsRun(QStringView haystack, QStringView needle);

// The occupation filter over one set of criteria, with the terms folded once.
// Names are compared folded with the folded terms, codes as stored with the
// terms as typed.
class SearchFilter {
public:
    SearchFilter() = default;
    explicit SearchFilter(SearchCriteria criteria);

    const SearchCriteria& criteria() const { return criteria_; }
    const QString& foldedTerm1() const { return folded1_; }
    const QString& foldedTerm2() const { return folded2_; }

    // `foldedName`: meslek_adi folded; `code`: meslek_kodu untouched.
    bool accepts(QStringView foldedName, QStringView code) const;

    // The record set's filter hook: tests the row under test.
    void meslekkoduQueryFilterRecord(OccupationRecordSet& dataSet, bool& accept) const;

private:
    SearchCriteria criteria_;
    QString folded1_;
    QString folded2_;
};
