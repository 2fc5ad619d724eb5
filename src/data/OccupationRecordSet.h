#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "data/RecordWindow.h"
#include "data/ResultSet.h"
#include "data/SearchTextCache.h"
#include "data/ShownList.h"
#include "data/Statement.h"

class Connection;
class Exception;
struct SearchTexts;

// Told about what happens to a record set (the data source between the set and the grid).
class RecordSetObserver {
public:
    virtual ~RecordSetObserver() = default;
    // Opened or closed.
    virtual void recordSetStateChanged() {}
    // The window was filled anew (open, First, Last, a filter switch, a jump).
    virtual void recordSetChanged() {}
    // The current row moved, possibly scrolling the window.
    virtual void currentRecordMoved() {}
    // Reading (and sorting) the table begins (true) or ends, however it ends
    // (false): it may take a while.
    virtual void recordSetBusy(bool) {}
};

// The occupation record set: the whole result of its statement in memory, a
// window of up to N neighbouring rows for the grid with one current row
// (RecordWindow), a lazy filter that tests rows only as they enter the window,
// the list of every row it lets through (ShownList), and the texts its scan
// reads (SearchTextCache).
class OccupationRecordSet {
public:
    // The fields, in binding order.
    enum Field { ID = 0, MeslekKodu = 1, MeslekAdi = 2, MeslekAna = 3 };

    // Sets `accept`; inside the call the field reads address the row under test.
    using FilterRecord = std::function<void(OccupationRecordSet& dataSet, bool& accept)>;
    // The same filter over every row at once: the first position after `from`
    // (step +1), or the last before it (step -1), that the FilterRecord would
    // accept, 0 when none. Given the folded names and the codes in blocks.
    using FilterScan = std::function<int(const SearchTexts& texts, int from, int step)>;
    // Shows a failure raised during a filtered fetch; the fetch then yields no row.
    using FailureReport = std::function<void(const Exception& failure)>;

    explicit OccupationRecordSet(Connection& connection,
                                 QString name = QStringLiteral("meslekkoduQuery"));
    ~OccupationRecordSet();
    OccupationRecordSet(const OccupationRecordSet&) = delete;
    OccupationRecordSet& operator=(const OccupationRecordSet&) = delete;

    const QString& name() const { return name_; }

    // The statement: its lines, sent joined, each followed by CR LF. Changing
    // them closes the set, except while the owner's layout is loading.
    const QStringList& sql() const { return sql_; }
    void setSql(const QStringList& lines);
    void clearSql() { setSql({}); }
    void addSqlLine(const QString& line);
    void setLoading(bool loading) { loading_ = loading; }
    // The statement as sent.
    QString statementText() const;

    bool active() const { return result_ != nullptr; }
    void setActive(bool active);
    // Connects on demand, runs the statement, binds the fields and fills the
    // window. On failure the set stays closed and the failure propagates.
    void open();
    void close();

    bool filtered() const { return filtered_; }
    // Nothing when unchanged; on an open set re-fills the window from the first row.
    void setFiltered(bool filtered);
    // The filter hook. With a scan beside it, the set asks the scan for the
    // next accepted row instead of calling the hook row by row: the scan must
    // accept exactly the rows the hook accepts.
    void setOnFilterRecord(FilterRecord predicate, FilterScan scan = {});
    void setFailureReport(FailureReport report) { failureReport_ = std::move(report); }

    // Window size N (at least 1), set by the grid from its height.
    void setWindowSize(int rows);
    int windowSize() const { return window_.size(); }
    int windowCount() const { return window_.count(); }
    // Index of the current row in the window, -1 when the window is empty.
    int currentWindowIndex() const { return window_.current(); }
    // Makes another row of the window current; fetches nothing.
    void setCurrentWindowIndex(int index);
    // Position number (1-based in the whole result) of a window row.
    int windowRecNo(int index) const;
    QString windowFieldText(int index, Field field) const;

    void first();
    void last();
    // One row forward or back; at the end of the window the window scrolls.
    void next();
    void prior();
    // Moves by `distance` rows (negative: back); returns the rows actually moved.
    int moveBy(int distance);
    // Fills the window around the row at `position` (1-based) and makes it
    // current; with the filter on the nearest accepted row at or after it.
    void moveToRecNo(int position);
    bool bof() const { return window_.bof(); }
    bool eof() const { return window_.eof(); }
    // Whether the current row is the first (last) row the filter lets through,
    // however it got there; true on an empty window. The answer is found with
    // the predicate when the window does not show it, and kept until the set
    // is opened, closed or filtered anew.
    bool atFirstRecord();
    bool atLastRecord();

    bool isEmpty() const { return window_.empty(); }
    // Rows of the whole result, whatever the filter. Throws on a closed set.
    int recordCount() const;
    // Position number of the current row, -1 when the window is empty. Throws on a closed set.
    int recNo() const;
    // The grid may map its scroll bar to positions only while the filter is off.
    bool isSequenced() const { return active() && !filtered_; }

    // Field reads of the current row (inside the predicate: of the row under
    // test). Empty text on a closed set, an empty window, and for nulls, as
    // ID and MeslekAna always are: their values are never read. The
    // texts of these reads are the caller's own; a view points into the list,
    // valid only until the set is opened, closed or re-read.
    QString fieldText(Field field) const;
    QStringView fieldView(Field field) const;
    // meslek_adi folded for searching.
    QString foldedName() const;

    // The shown list: the rows the filter lets through (every row while it is
    // off), in order. Worked out over the whole result on first use, through
    // the scan where there is one, and kept until the set is opened, closed
    // or filtered anew; nothing here calls the failure report. For readers
    // that present the whole list (assistive technology), not for painting.
    // Counts 0 on a closed set; a predicate that fails counts the rows before
    // the failure.
    int shownCount() const;
    // The position number of the shown row `row` (0-based), 0 when out of range.
    int shownPosition(int row) const;
    // The shown row (0-based) of a position number, -1 when the filter hides it.
    int shownRowOf(int position) const;
    // A field of the row at a position number; empty text out of range.
    QString positionFieldText(int position, Field field) const;
    // Changes whenever the shown list may have changed (open, close, filter).
    quint64 shownListGeneration() const { return shown_.generation(); }

    // Re-reads the whole list sorted by `column` in `direction` ("ASC" or
    // "DESC"). The statement becomes resortStatement(), but the connection is
    // given its parts, not its text, where they are a plain name and a direction.
    void resort(const QString& column, const QString& direction);
    // The one statement line a re-sort sends.
    static QString resortStatement(const QString& column, const QString& direction);

    // For readers of every row at once (the command line): the open result and
    // the result columns the four fields are bound to, in field order.
    const ResultSet* result() const { return result_.get(); }
    const std::vector<int>& boundColumns() const { return bound_; }

    void addObserver(RecordSetObserver* observer);
    void removeObserver(RecordSetObserver* observer);

private:
    void requireActive() const;
    // The filter decides which rows show: it is on and has a predicate.
    bool filterApplies() const;
    // The row field reads address: the row under test, else the current row; 0 for none.
    int readPosition() const {
        return rowUnderTest_ != 0 ? rowUnderTest_ : window_.currentPosition();
    }
    // The search texts of the open result, for the filter scan.
    const SearchTexts& searchTexts() const;
    // The window's fetch while the filter is on and has a predicate: the next
    // row it lets through after `from` (step +1) or before it (step -1); 0
    // when none is left or the predicate failed, which goes to the failure
    // report (without one it propagates).
    RecordWindow::Fetched fetch(int from, int step);
    // Every row the filter lets through, for the shown list; a failure ends
    // the list without a report.
    std::vector<int> collectShown() const;
    // The first and last shown rows, and the shown list, are found anew.
    void forgetEdges();
    void notifyStateChanged();
    void notifyBusy(bool busy);
    void notifyChanged();
    void notifyMoved();

    Connection& connection_;
    QString name_;
    QStringList sql_;
    // sql_ in its parts, when a re-sort wrote it.
    std::optional<SelectStatement> query_;
    bool loading_ = false;
    bool filtered_ = false;
    FilterRecord onFilterRecord_;
    FilterScan filterScan_;
    FailureReport failureReport_;
    std::unique_ptr<ResultSet> result_;
    std::vector<int> bound_;
    mutable SearchTextCache searchTexts_;
    RecordWindow window_;
    int rowUnderTest_ = 0;  // position being tested by the predicate, 0 when none
    ShownList shown_;
    std::vector<RecordSetObserver*> observers_;
};
