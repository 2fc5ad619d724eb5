#pragma once

#include <QString>
#include <QStringList>

#include <compare>
#include <cstdint>
#include <optional>
#include <vector>

// One occupation as the desktop's search shows it.
struct DesktopSearchRow {
    QString code;
    QString name;
};

// The occupation list as the desktop's search box asks it: every row with
// its name folded once, ready for searching term by term.
//
// A row matches when all the terms occur in its name (compared folded, under
// Turkish letter case) or all occur in its code (as typed), as the window's
// "VE" does with two. A term typed without Turkish letters is compared with
// the name's plain Latin form ("asci" finds "Aşçı"). Results are at most
// MaxResults: rows whose code starts with the first term, then rows whose
// whole name is the terms (joined by a space, compared as above), then rows
// whose name starts with the first term, shorter names first, then the rest;
// ties in list order.
//
// A result id names the row's place in the list and the list's content, so
// an id from another list, or from this file before a change, names no row.
class DesktopSearchIndex {
public:
    static constexpr int MaxResults = 20;

    DesktopSearchIndex() = default;
    // `rows` in the list's order (code order).
    explicit DesktopSearchIndex(std::vector<DesktopSearchRow> rows);

    int size() const { return static_cast<int>(rows_.size()); }
    // The ids of the rows the terms find (those taken, see takenTerms), best
    // first. No terms: no results.
    QStringList search(const QStringList& terms) const;
    // The row an id names; empty for an id of no row of this list.
    std::optional<DesktopSearchRow> row(const QString& id) const;
    QString idOf(int index) const;

    // What is taken of a call's terms: the first MaxTerms, each cut to
    // MaxTermLength characters (a surrogate pair stays whole or goes whole);
    // the rest is ignored, so that a call of any size is answered at once.
    static constexpr qsizetype MaxTerms = 8;
    static constexpr qsizetype MaxTermLength = 256;
    static QStringList takenTerms(const QStringList& terms);
    // A desktop's one-line query as terms: its words, split at white space,
    // as many as are taken and each cut as takenTerms() cuts it.
    static QStringList termsOf(const QString& query);

private:
    struct Entry {
        QString code;
        QString name;
        QString foldedName;  // Turkish letter case folded
        QString plainName;   // foldedName without Turkish letters
    };
    struct Term {
        QString asTyped;  // for codes
        QString folded;   // for names: folded, and plain Latin when typed so
        bool plain = false;
    };

    // A found row's place among the results: the lowest come first.
    struct Rank {
        int group = 0;
        qsizetype length = 0;  // of the name, where shorter names come first
        int index = 0;
        auto operator<=>(const Rank&) const = default;
    };

    static QString cutTerm(QStringView term);
    static Term termOf(const QString& typed);
    static bool nameHas(const Entry& entry, const Term& term);
    static bool nameIs(const Entry& entry, const std::vector<Term>& terms);
    bool matches(const Entry& entry, const std::vector<Term>& terms) const;
    static Rank rankOf(const Entry& entry, int index, const std::vector<Term>& terms);
    std::vector<Rank> found(const std::vector<Term>& terms) const;

    std::vector<Entry> rows_;
    QString listTag_;  // the list's content, hashed: part of every id
};
