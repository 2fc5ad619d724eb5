#pragma once

#include <functional>
#include <vector>

// The grid's window over the rows the filter lets through: up to size()
// neighbouring rows, by position number (1-based in the whole result), one of
// them current, with bof and eof as the moves leave them. While filtering,
// rows enter only through the fetch it is given, one at a time, so a lazy
// filter tests only the rows that come into view; otherwise every row of the
// result shows. It also keeps the first and last rows the filter lets
// through, once a fetch has found them, until told to forget.
class RecordWindow {
public:
    // What a fetch found: a position, 0 for none; `failed` when the row test
    // failed on the way (the position is then 0 and says nothing of the ends).
    struct Fetched {
        int position = 0;
        bool failed = false;
    };
    // The first shown position after `from` (step +1), or the last before it
    // (step -1). May throw: the window is then left as the failure found it.
    using Fetch = std::function<Fetched(int from, int step)>;

    explicit RecordWindow(Fetch fetch) : fetch_(std::move(fetch)) {}

    // Empty, at both ends, over a result of `rows` rows (0 when closed).
    void reset(int rows);
    // The first and last shown rows are looked for again when next asked.
    void forgetEdges() { firstShown_ = lastShown_ = Unknown; }
    // Whether the fetch decides which rows show; at first it does not.
    void setFiltering(bool filtering) { filtering_ = filtering; }

    int size() const { return size_; }
    // Takes a new size (at least 1): a larger window fetches rows after the
    // last one, then before the first; a smaller one drops the rows below the
    // current one, then those above it. Whether rows came or went.
    bool resize(int rows);

    int count() const { return static_cast<int>(rows_.size()); }
    bool empty() const { return rows_.empty(); }
    // Index of the current row, -1 when the window is empty.
    int current() const { return rows_.empty() ? -1 : current_; }
    // Makes another row current; false when `index` is out of range or current already.
    bool select(int index);
    // Position of a row of the window, -1 out of range.
    int positionAt(int index) const;
    // Position of the current row, 0 when the window is empty.
    int currentPosition() const {
        return rows_.empty() ? 0 : rows_[static_cast<std::size_t>(current_)];
    }
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }

    // The first shown rows, the first current.
    void fillFromStart();
    // The last shown rows, the last current.
    void fillFromEnd();
    // One row forward (back); at the edge of the window the window scrolls.
    // Whether the current row changed.
    bool stepForward();
    bool stepBack();
    // Steps until `distance` rows (negative: back) are passed or an end is
    // reached; the rows actually passed.
    int moveBy(int distance);
    // The nearest shown row at or after `position` (clamped to the result),
    // in the middle of the window where the rows around it allow; the last
    // rows when none shows after it. False, nothing done, on an empty result.
    bool moveTo(int position);
    // Whether the current row is the first (last) shown row; true on an
    // empty window. A failed fetch answers false and finds nothing out.
    bool atFirst();
    bool atLast();

private:
    static constexpr int Unknown = -1;

    // One row on (back), bof and eof as they leave it.
    void advance();
    void retreat();
    int fetch(int from, int step);
    bool fetchAfterLast();
    bool fetchBeforeFirst();
    bool full() const { return rows_.size() >= static_cast<std::size_t>(size_); }

    Fetch fetch_;
    bool filtering_ = false;
    int resultRows_ = 0;
    int size_ = 1;
    std::vector<int> rows_;  // positions, in order
    int current_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    // Positions of the first and last shown rows, 0 when none shows.
    int firstShown_ = Unknown;
    int lastShown_ = Unknown;
    int failures_ = 0;
};
