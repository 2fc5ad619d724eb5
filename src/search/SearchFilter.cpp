#include "search/SearchFilter.h"

#include <string_view>

#include "data/OccupationRecordSet.h"
#include "search/FoldSearchText.h"

bool containsRun(QStringView haystack, QStringView needle) {
    if (needle.isEmpty() || haystack.size() < needle.size()) return false;
    // Names are short and scanned by the million: the first character is
    // looked for with the standard library's search, the rest compared in place.
    const std::u16string_view h(haystack.utf16(), static_cast<std::size_t>(haystack.size()));
    const std::u16string_view n(needle.utf16(), static_cast<std::size_t>(needle.size()));
    return h.find(n) != std::u16string_view::npos;
}

SearchFilter::SearchFilter(SearchCriteria criteria)
    : criteria_(std::move(criteria)),
      folded1_(FoldSearchText(criteria_.term1)),
      folded2_(FoldSearchText(criteria_.term2)) {}

bool SearchFilter::accepts(QStringView foldedName, QStringView code) const {
    const QString& t1 = criteria_.term1;
    const QString& t2 = criteria_.term2;
    if (t2.isEmpty()) return containsRun(foldedName, folded1_) || containsRun(code, t1);
    if (criteria_.orMode) {
        return containsRun(foldedName, folded1_) || containsRun(foldedName, folded2_) ||
               containsRun(code, t1) || containsRun(code, t2);
    }
    return (containsRun(foldedName, folded1_) && containsRun(foldedName, folded2_)) ||
           (containsRun(code, t1) && containsRun(code, t2));
}

void SearchFilter::meslekkoduQueryFilterRecord(OccupationRecordSet& dataSet, bool& accept) const {
    accept = accepts(dataSet.foldedName(), dataSet.fieldView(OccupationRecordSet::MeslekKodu));
}
