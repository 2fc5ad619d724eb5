#include "search/SearchFilter.h"

#include <algorithm>
#include <string_view>

#include "data/OccupationRecordSet.h"
#include "text/FoldSearchText.h"
#include "text/RowTextBlock.h"

bool containsRun(QStringView haystack, QStringView needle) {
    if (needle.isEmpty() || haystack.size() < needle.size()) return false;
    // Names are short and tested by the million: the whole needle is looked
    // for by the standard library's search over the UTF-16 units in place,
    // without making a text of either.
    const std::u16string_view h(haystack.utf16(), static_cast<std::size_t>(haystack.size()));
    const std::u16string_view n(needle.utf16(), static_cast<std::size_t>(needle.size()));
    return h.find(n) != std::u16string_view::npos;
}

SearchFilter::SearchFilter(SearchCriteria criteria)
    : criteria_(std::move(criteria)),
      folded1_(FoldSearchText(criteria_.term1, criteria_.plainLatin)),
      folded2_(FoldSearchText(criteria_.term2, criteria_.plainLatin)),
      nameTerm1_(scanForm(folded1_)),
      nameTerm2_(scanForm(folded2_)),
      codeTerm1_(scanForm(criteria_.term1)),
      codeTerm2_(scanForm(criteria_.term2)) {}

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

bool SearchFilter::acceptsRow(QStringView name, QStringView code) const {
    foldedName_.resize(static_cast<std::size_t>(name.size()));
    char16_t* const folded = foldedName_.data();
    const qsizetype length = foldSearchTextInto(name, folded);
    if (criteria_.plainLatin) std::transform(folded, folded + length, folded, plainLatinChar);
    return accepts(QStringView(folded, length), code);
}

void SearchFilter::meslekkoduQueryFilterRecord(OccupationRecordSet& dataSet, bool& accept) const {
    accept = acceptsRow(dataSet.fieldView(OccupationRecordSet::MeslekAdi),
                        dataSet.fieldView(OccupationRecordSet::MeslekKodu));
}

namespace {

// The first row in [lo, hi) whose text holds both needles, or hi. Each scan
// starts where the other found its row, so no byte is looked at twice.
int firstRowWithBoth(const RowTextBlock& block, std::string_view x, std::string_view y, int lo,
                     int hi) {
    while (lo < hi) {
        const int withX = block.firstRowWith(x, lo, hi);
        if (withX == hi) return hi;
        const int withY = block.firstRowWith(y, withX, hi);
        if (withY == withX || withY == hi) return withY;
        lo = withY;
    }
    return hi;
}

// The last row in [lo, hi) whose text holds both needles, or lo - 1.
int lastRowWithBoth(const RowTextBlock& block, std::string_view x, std::string_view y, int lo,
                    int hi) {
    while (lo < hi) {
        const int withX = block.lastRowWith(x, lo, hi);
        if (withX < lo) return lo - 1;
        const int withY = block.lastRowWith(y, lo, withX + 1);
        if (withY == withX || withY < lo) return withY;
        hi = withY + 1;
    }
    return lo - 1;
}

}  // namespace

// Every test narrows the range the next one scans to the rows before (after)
// the best row found so far, so the scans together never pass the answer.
int SearchFilter::firstAcceptedRow(const SearchTexts& texts, int lo, int hi) const {
    int best = hi;
    if (criteria_.term2.isEmpty()) {
        best = texts.names.firstRowWith(nameTerm1_, lo, best);
        best = texts.codes.firstRowWith(codeTerm1_, lo, best);
    } else if (criteria_.orMode) {
        best = texts.names.firstRowWith(nameTerm1_, lo, best);
        best = texts.names.firstRowWith(nameTerm2_, lo, best);
        best = texts.codes.firstRowWith(codeTerm1_, lo, best);
        best = texts.codes.firstRowWith(codeTerm2_, lo, best);
    } else {
        best = firstRowWithBoth(texts.names, nameTerm1_, nameTerm2_, lo, best);
        best = firstRowWithBoth(texts.codes, codeTerm1_, codeTerm2_, lo, best);
    }
    return best;
}

int SearchFilter::lastAcceptedRow(const SearchTexts& texts, int lo, int hi) const {
    int best = lo - 1;
    if (criteria_.term2.isEmpty()) {
        best = texts.names.lastRowWith(nameTerm1_, best + 1, hi);
        best = texts.codes.lastRowWith(codeTerm1_, best + 1, hi);
    } else if (criteria_.orMode) {
        best = texts.names.lastRowWith(nameTerm1_, best + 1, hi);
        best = texts.names.lastRowWith(nameTerm2_, best + 1, hi);
        best = texts.codes.lastRowWith(codeTerm1_, best + 1, hi);
        best = texts.codes.lastRowWith(codeTerm2_, best + 1, hi);
    } else {
        best = lastRowWithBoth(texts.names, nameTerm1_, nameTerm2_, best + 1, hi);
        best = lastRowWithBoth(texts.codes, codeTerm1_, codeTerm2_, best + 1, hi);
    }
    return best;
}

int SearchFilter::nextAccepted(const SearchTexts& texts, int from, int step) const {
    const int count = texts.names.rowCount();
    // Position p is row p - 1 of the blocks.
    if (step > 0) {
        const int lo = std::max(from, 0);
        if (lo >= count) return 0;
        const int row = firstAcceptedRow(texts, lo, count);
        return row == count ? 0 : row + 1;
    }
    const int hi = std::min(from - 1, count);
    if (hi <= 0) return 0;
    const int row = lastAcceptedRow(texts, 0, hi);
    return row < 0 ? 0 : row + 1;
}
