#include "desktopsearch/DesktopSearchIndex.h"

#include <xxhash.h>

#include <algorithm>
#include <array>

#include "search/SearchFilter.h"
#include "text/FoldSearchText.h"

namespace {

// Whether `typed` has a letter that only Turkish writes (either case).
bool hasTurkishLetter(const QString& typed) {
    static constexpr std::array<char16_t, 12> letters = {0x00E7, 0x011F, 0x0131, 0x00F6,
                                                         0x015F, 0x00FC, 0x00C7, 0x011E,
                                                         0x0130, 0x00D6, 0x015E, 0x00DC};
    return std::any_of(typed.cbegin(), typed.cend(), [](QChar c) {
        return std::find(letters.begin(), letters.end(), c.unicode()) != letters.end();
    });
}

QString hashedTag(const std::vector<DesktopSearchRow>& rows) {
    XXH3_state_t* state = XXH3_createState();
    XXH3_64bits_reset(state);
    for (const DesktopSearchRow& row : rows) {
        // Lengths first, so that no two lists hash the same bytes.
        const std::array<qsizetype, 2> lengths = {row.code.size(), row.name.size()};
        XXH3_64bits_update(state, lengths.data(), sizeof(lengths));
        XXH3_64bits_update(state, row.code.utf16(), sizeof(char16_t) * row.code.size());
        XXH3_64bits_update(state, row.name.utf16(), sizeof(char16_t) * row.name.size());
    }
    const XXH64_hash_t hash = XXH3_64bits_digest(state);
    XXH3_freeState(state);
    return QString::number(hash, 16).rightJustified(16, QLatin1Char('0'));
}

}  // namespace

DesktopSearchIndex::DesktopSearchIndex(std::vector<DesktopSearchRow> rows)
    : listTag_(hashedTag(rows)) {
    rows_.reserve(rows.size());
    for (DesktopSearchRow& row : rows) {
        QString folded = FoldSearchText(row.name);
        QString plain = toPlainLatin(folded);
        rows_.push_back(
            {std::move(row.code), std::move(row.name), std::move(folded), std::move(plain)});
    }
}

QString DesktopSearchIndex::cutTerm(QStringView term) {
    if (term.size() <= MaxTermLength) return term.toString();
    qsizetype length = MaxTermLength;
    if (term.at(length - 1).isHighSurrogate()) --length;
    return term.first(length).toString();
}

QStringList DesktopSearchIndex::takenTerms(const QStringList& terms) {
    QStringList taken;
    for (qsizetype i = 0; i < std::min(terms.size(), MaxTerms); ++i) {
        taken.append(cutTerm(terms.at(i)));
    }
    return taken;
}

QStringList DesktopSearchIndex::termsOf(const QString& query) {
    // Word by word, so that the words past the last one taken are never made.
    const auto blank = [&query](qsizetype at) {
        const char16_t c = query.at(at).unicode();
        return c == u' ' || (c >= u'\t' && c <= u'\r');
    };
    QStringList terms;
    qsizetype at = 0;
    while (terms.size() < MaxTerms) {
        while (at < query.size() && blank(at)) ++at;
        if (at == query.size()) break;
        const qsizetype start = at;
        while (at < query.size() && !blank(at)) ++at;
        terms.append(cutTerm(QStringView(query).sliced(start, at - start)));
    }
    return terms;
}

DesktopSearchIndex::Term DesktopSearchIndex::termOf(const QString& typed) {
    Term term;
    term.asTyped = typed;
    term.plain = !hasTurkishLetter(typed);
    term.folded = FoldSearchText(typed, term.plain);
    return term;
}

bool DesktopSearchIndex::nameHas(const Entry& entry, const Term& term) {
    return containsRun(term.plain ? entry.plainName : entry.foldedName, term.folded);
}

bool DesktopSearchIndex::matches(const Entry& entry, const std::vector<Term>& terms) const {
    const auto inName = [&entry](const Term& term) { return nameHas(entry, term); };
    const auto inCode = [&entry](const Term& term) {
        return containsRun(entry.code, term.asTyped);
    };
    return std::all_of(terms.begin(), terms.end(), inName) ||
           std::all_of(terms.begin(), terms.end(), inCode);
}

bool DesktopSearchIndex::nameIs(const Entry& entry, const std::vector<Term>& terms) {
    // Term by term along the name, each against the name's form it is compared with.
    qsizetype at = 0;
    for (const Term& term : terms) {
        if (&term != &terms.front()) {
            if (at >= entry.foldedName.size() || entry.foldedName[at] != QLatin1Char(' ')) {
                return false;
            }
            ++at;
        }
        const QString& name = term.plain ? entry.plainName : entry.foldedName;
        if (!QStringView(name).sliced(at).startsWith(term.folded)) return false;
        at += term.folded.size();
    }
    return at == entry.foldedName.size();
}

DesktopSearchIndex::Rank DesktopSearchIndex::rankOf(const Entry& entry, int index,
                                                    const std::vector<Term>& terms) {
    const Term& first = terms.front();
    if (entry.code.startsWith(first.asTyped)) return {0, 0, index};
    if (nameIs(entry, terms)) return {1, 0, index};
    const QString& name = first.plain ? entry.plainName : entry.foldedName;
    if (!first.folded.isEmpty() && name.startsWith(first.folded)) return {2, name.size(), index};
    return {3, 0, index};
}

std::vector<DesktopSearchIndex::Rank> DesktopSearchIndex::found(
    const std::vector<Term>& terms) const {
    // The list is walked once, in order; once MaxResults codes start with the
    // first term, no later row can enter. Only the best rows so far are kept,
    // so a term that matches most of a large list holds little memory.
    constexpr std::size_t Kept = 8 * MaxResults;
    std::vector<Rank> ranks;
    int codes = 0;
    for (int index = 0; index < size() && codes < MaxResults; ++index) {
        const Entry& entry = rows_[static_cast<std::size_t>(index)];
        if (!matches(entry, terms)) continue;
        ranks.push_back(rankOf(entry, index, terms));
        if (ranks.back().group == 0) ++codes;
        if (ranks.size() == Kept) {
            std::nth_element(ranks.begin(), ranks.begin() + MaxResults, ranks.end());
            ranks.resize(MaxResults);
        }
    }
    return ranks;
}

QStringList DesktopSearchIndex::search(const QStringList& typed) const {
    std::vector<Term> terms;
    for (const QString& text : takenTerms(typed)) {
        const QString term = text.trimmed();
        if (!term.isEmpty()) terms.push_back(termOf(term));
    }
    if (terms.empty()) return {};
    std::vector<Rank> ranks = found(terms);
    const auto best = ranks.begin() + std::min<std::ptrdiff_t>(std::ssize(ranks), MaxResults);
    std::partial_sort(ranks.begin(), best, ranks.end());
    QStringList ids;
    for (auto rank = ranks.begin(); rank != best; ++rank) ids.append(idOf(rank->index));
    return ids;
}

QString DesktopSearchIndex::idOf(int index) const {
    return QString::number(index + 1) + QLatin1Char('-') + listTag_;
}

std::optional<DesktopSearchRow> DesktopSearchIndex::row(const QString& id) const {
    const qsizetype dash = id.indexOf(QLatin1Char('-'));
    if (dash < 0 || QStringView(id).sliced(dash + 1) != listTag_) return std::nullopt;
    bool ok = false;
    const int place = QStringView(id).first(dash).toInt(&ok);
    if (!ok || place < 1 || place > size()) return std::nullopt;
    const Entry& entry = rows_[static_cast<std::size_t>(place - 1)];
    return DesktopSearchRow{entry.code, entry.name};
}
