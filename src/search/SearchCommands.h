#pragma once

#include <QString>

#include <functional>

#include "search/SearchFilter.h"

class OccupationRecordSet;

// The search area as the commands see it; the main window implements it over
// its two boxes, the "Otomatik Ara" check box and the VE/VEYA radio buttons.
class SearchInputs {
public:
    virtual ~SearchInputs() = default;
    // The first and second search boxes, exactly as they stand.
    virtual QString term1() const = 0;
    virtual QString term2() const = 0;
    // "VEYA" is chosen (otherwise "VE").
    virtual bool orChosen() const = 0;
    // "Otomatik Ara" is checked.
    virtual bool autoSearchChecked() const = 0;
    // Names and terms are compared without Turkish letters (SearchCriteria::plainLatin).
    virtual bool plainLatin() const { return false; }
    // Empties both boxes. This is the program's own change: it must not lead
    // back to autoSearch().
    virtual void clearTerms() = 0;
};

// The search commands over the occupation record set. Installs the filter
// predicate on the set for as long as it lives, with the scan that finds the
// same rows in the blocks of all names and codes at once. Failures of the set (a
// database that can no longer be read, ...) propagate to the caller; the
// inputs and the term mode keep their state.
//
// Switching the filter on takes the criteria from the inputs as they stand
// then; they stay, for scrolling, re-sorts and reopens alike, until the filter
// is next switched on after being off. The list shown is always one search.
class SearchCommands {
public:
    SearchCommands(OccupationRecordSet& records, SearchInputs& inputs);
    ~SearchCommands();
    SearchCommands(const SearchCommands&) = delete;
    SearchCommands& operator=(const SearchCommands&) = delete;

    // "ARA": re-reads the table; with a first term the set opens filtered,
    // without one it shows every row.
    void search();
    // After each change the user makes to either box: filters the rows in
    // memory again with the texts as they now stand, or, with the first box
    // empty, shows every row. Only while "Otomatik Ara" is checked.
    void autoSearch();
    // "YENİ ARAMA": empties both boxes and shows every row, re-read.
    void newSearch();
    // "VE" or "VEYA" became chosen: searches again when that changes the term mode.
    void andChosen();
    void orChosen();

    // "", "birde" (one-term mode chosen last) or "ikide" (two-term mode).
    const QString& termMode() const { return termMode_; }
    // The record set's filter hook over the captured criteria (the constructor
    // installs it already).
    std::function<void(OccupationRecordSet&, bool&)> filterRecord();
    // The criteria the filter works with.
    const SearchFilter& filter() const { return filter_; }

private:
    void switchFilterOn();

    OccupationRecordSet& records_;
    SearchInputs& inputs_;
    SearchFilter filter_;
    QString termMode_;
};
