#pragma once

#include <QString>
#include <QStringView>

#include <string>

class OccupationRecordSet;
struct SearchTexts;

// What the user asked for: the two search boxes as typed and the VE/VEYA choice.
struct SearchCriteria {
    QString term1;
    QString term2;
    bool orMode = false;  // VEYA chosen; VE otherwise
    // Names and terms also lose their Turkish letters (plainLatinChar)
    // before they are compared; codes are compared as ever. The scan
    // (nextAccepted) does not know this rule: test row by row with it.
    bool plainLatin = false;
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
    // The same answer for the name as stored, folded into a buffer kept for
    // the next row rather than a string of its own.
    bool acceptsRow(QStringView name, QStringView code) const;

    // The record set's filter hook: tests the row under test. A pass over
    // every row through it needs no search texts held in memory.
    void meslekkoduQueryFilterRecord(OccupationRecordSet& dataSet, bool& accept) const;

    // The first position (1-based) after `from` (step +1), or the last before
    // it (step -1), whose row accepts() would accept; 0 when there is none.
    // Looks at the rows between `from` and the answer only, as testing them
    // one by one would, but scans the blocks of names and codes at once.
    int nextAccepted(const SearchTexts& texts, int from, int step) const;

private:
    // The first (last) accepted row, 0-based, in [lo, hi); hi (lo - 1) for none.
    int firstAcceptedRow(const SearchTexts& texts, int lo, int hi) const;
    int lastAcceptedRow(const SearchTexts& texts, int lo, int hi) const;

    SearchCriteria criteria_;
    QString folded1_;
    QString folded2_;
    // The terms in the blocks' byte form: folded for names, as typed for codes.
    std::string nameTerm1_;
    std::string nameTerm2_;
    std::string codeTerm1_;
    std::string codeTerm2_;
    mutable std::u16string foldedName_;
};
