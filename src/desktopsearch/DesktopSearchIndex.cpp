#include "desktopsearch/DesktopSearchIndex.h"

#include <QRegularExpression>

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

QStringList DesktopSearchIndex::termsOf(const QString& query) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return query.split(blanks, Qt::SkipEmptyParts);
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

int DesktopSearchIndex::group(const Entry& entry, const Term& first) const {
    if (entry.code.startsWith(first.asTyped)) return 0;
    const QString& name = first.plain ? entry.plainName : entry.foldedName;
    if (!first.folded.isEmpty() && name.startsWith(first.folded)) return 1;
    return 2;
}

QStringList DesktopSearchIndex::search(const QStringList& typed) const {
    std::vector<Term> terms;
    for (const QString& text : typed) {
        const QString term = text.trimmed();
        if (!term.isEmpty()) terms.push_back(termOf(term));
    }
    if (terms.empty()) return {};
    // The list is walked once, in order; each group keeps its first rows only,
    // and once the best group is full, no later row can enter.
    std::array<std::vector<int>, 3> groups;
    for (int index = 0; index < size(); ++index) {
        const Entry& entry = rows_[static_cast<std::size_t>(index)];
        if (!matches(entry, terms)) continue;
        std::vector<int>& found = groups[static_cast<std::size_t>(group(entry, terms.front()))];
        if (found.size() < MaxResults) found.push_back(index);
        if (groups[0].size() == MaxResults) break;
    }
    QStringList ids;
    for (const std::vector<int>& found : groups) {
        for (const int index : found) {
            if (ids.size() == MaxResults) return ids;
            ids.append(idOf(index));
        }
    }
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
