#include "search/SearchCommands.h"

#include "data/OccupationRecordSet.h"

SearchCommands::SearchCommands(OccupationRecordSet& records, SearchInputs& inputs)
    : records_(records), inputs_(inputs) {
    // The rows are found by scanning all names and codes at once; the hook
    // beside it tests one row the same way.
    records_.setOnFilterRecord(filterRecord(),
                               [this](const SearchTexts& texts, int from, int step) {
                                   return filter_.nextAccepted(texts, from, step);
                               });
}

std::function<void(OccupationRecordSet&, bool&)> SearchCommands::filterRecord() {
    return [this](OccupationRecordSet& dataSet, bool& accept) {
        filter_.meslekkoduQueryFilterRecord(dataSet, accept);
    };
}

SearchCommands::~SearchCommands() { records_.setOnFilterRecord({}); }

void SearchCommands::search() {
    const bool withTerm = !inputs_.term1().isEmpty();
    records_.close();
    records_.setFiltered(false);
    if (withTerm) switchFilterOn();
    records_.open();
}

void SearchCommands::autoSearch() {
    if (!inputs_.autoSearchChecked()) return;
    records_.setFiltered(false);
    if (!inputs_.term1().isEmpty()) switchFilterOn();
}

void SearchCommands::newSearch() {
    inputs_.clearTerms();
    records_.close();
    records_.setFiltered(false);
    records_.open();
}

void SearchCommands::andChosen() {
    if (termMode_ != QLatin1String("ikide")) return;
    termMode_ = QStringLiteral("birde");
    search();
}

void SearchCommands::orChosen() {
    if (termMode_ == QLatin1String("ikide")) return;
    termMode_ = QStringLiteral("ikide");
    search();
}

void SearchCommands::switchFilterOn() {
    if (records_.filtered()) return;
    filter_ =
        SearchFilter({inputs_.term1(), inputs_.term2(), inputs_.orChosen(), inputs_.plainLatin()});
    // The scan knows only the exact rule: without Turkish letters, the rows
    // are tested one by one.
    if (filter_.criteria().plainLatin) records_.setOnFilterRecord(filterRecord());
    records_.setFiltered(true);
}
