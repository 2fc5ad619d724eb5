#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

#include "jet/RawTable.h"

class ResultSet;
struct SearchTexts;

// The record set's search texts (see SearchTexts): meslek_adi folded and
// meslek_kodu as stored, every row of the open result in statement order,
// for the filter scan. Made on first use, so that an open without a search
// costs nothing extra. What they were made from is kept beside them: a later
// result of the same statement over the same kept table has the same rows in
// the same order and uses them again, also after a close in between; one of
// another statement over that table gets them rearranged rather than folded
// again, so a re-sort while a term filters costs a copy of the bytes. Long
// lists are done in slices of rows on every core.
class SearchTextCache {
public:
    // What the texts are made of: the open result, its name and code columns,
    // the lines of the statement that made it, and the owner named in a failure.
    struct Source {
        const ResultSet& result;
        int nameColumn;
        int codeColumn;
        const QStringList& statement;
        const QString& owner;
    };

    SearchTextCache();
    ~SearchTextCache();
    SearchTextCache(const SearchTextCache&) = delete;
    SearchTextCache& operator=(const SearchTextCache&) = delete;

    // A result was opened by `statement`: texts of another table are let go.
    void resultOpened(const ResultSet& result, const QStringList& statement);
    // The texts of the result last opened, made or rearranged when they are
    // not at hand. Throws EDatabaseError when they would pass 4 GB.
    const SearchTexts& texts(const Source& source) {
        if (texts_ != nullptr && current_) return *texts_;
        return renewed(source);
    }

private:
    const SearchTexts& renewed(const Source& source);
    std::unique_ptr<SearchTexts> made(const Source& source) const;
    // The texts of the open result from `texts`, which hold the same table's
    // rows in the order `order`.
    static std::unique_ptr<SearchTexts> rearranged(const ResultSet& result,
                                                   const SearchTexts& texts,
                                                   const std::vector<std::uint32_t>& order);
    void keep(std::unique_ptr<SearchTexts> texts, const Source& source);

    std::unique_ptr<SearchTexts> texts_;
    std::weak_ptr<const RawTable> table_;
    QString statement_;
    // The physical rows in the order the texts hold them.
    std::shared_ptr<const std::vector<std::uint32_t>> order_;
    // The texts are those of the open result (or there are none yet).
    bool current_ = false;
};
