#include "data/OccupationRecordSet.h"

#include <algorithm>

#include "data/Connection.h"
#include "data/FieldBinding.h"
#include "exceptions/Exceptions.h"
#include "text/FoldSearchText.h"

namespace {

// For a walk through the filter from `position` by `step`: the rows it
// reaches next, asked for ahead; the code's text, and the name's after it.
// Inlined always, as ResultSet's hints are (see there).
[[gnu::always_inline]] inline void prefetchAhead(const ResultSet& result, int codeColumn,
                                                 int position, int step) {
    result.prefetchBookkeeping(position + ResultSet::BookkeepingAhead * step);
    result.prefetchText(position + ResultSet::TextAhead * step, codeColumn);
}

// Clears the row under test however the predicate leaves.
class RowUnderTest {
public:
    explicit RowUnderTest(int& row) : row_(row) {}
    ~RowUnderTest() { row_ = 0; }
    RowUnderTest(const RowUnderTest&) = delete;
    RowUnderTest& operator=(const RowUnderTest&) = delete;

private:
    int& row_;
};

// A value of the list, copied out of it: the list's texts are views of its
// memory, which a re-read frees while a copy may live on (in the clipboard).
QString ownCopy(const QString& value) {
    return value.isNull() ? QString() : QString(value.constData(), value.size());
}

// The table a re-sort reads.
const QString OccupationTable = QStringLiteral("meslekler");

}  // namespace

OccupationRecordSet::OccupationRecordSet(Connection& connection, QString name)
    : connection_(connection),
      name_(std::move(name)),
      window_([this](int from, int step) { return fetch(from, step); }),
      shown_([this] { return collectShown(); }) {}

OccupationRecordSet::~OccupationRecordSet() = default;

// ---- the statement ----------------------------------------------------------

void OccupationRecordSet::setSql(const QStringList& lines) {
    if (!loading_) close();
    sql_ = lines;
    query_.reset();
}

void OccupationRecordSet::addSqlLine(const QString& line) {
    if (!loading_) close();
    sql_.append(line);
    query_.reset();
}

QString OccupationRecordSet::statementText() const { return joinStatementLines(sql_); }

void OccupationRecordSet::resort(const QString& column, const QString& direction) {
    clearSql();
    addSqlLine(resortStatement(column, direction));
    query_ = orderedSelect(OccupationTable, column, direction);
    open();
}

QString OccupationRecordSet::resortStatement(const QString& column, const QString& direction) {
    return QStringLiteral("select * FROM ") + OccupationTable + QStringLiteral(" ORDER BY ") +
           column + QLatin1Char(' ') + direction;
}

// ---- open and close ---------------------------------------------------------

void OccupationRecordSet::setActive(bool active) {
    if (active) {
        open();
    } else {
        close();
    }
}

void OccupationRecordSet::open() {
    if (active()) return;
    std::unique_ptr<ResultSet> result;
    {
        struct Busy {
            OccupationRecordSet& set;
            explicit Busy(OccupationRecordSet& s) : set(s) { set.notifyBusy(true); }
            ~Busy() { set.notifyBusy(false); }
        } busy(*this);
        if (!connection_.connected()) connection_.open();
        // Leaving the other fields' values unread saves a large list a good
        // part of its reading.
        connection_.setValueColumns(occupationValueColumns());
        result = query_ ? connection_.execute(*query_) : connection_.execute(statementText());
    }
    if (result == nullptr) {
        throw EDatabaseError::named(name_,
                                    QStringLiteral("CommandText does not return a result set"));
    }
    std::vector<int> bound = bindFields(result->columns(), occupationFields(), name_);
    result->moveFirst();

    result_ = std::move(result);
    bound_ = std::move(bound);
    searchTexts_.resultOpened(*result_, sql_);
    forgetEdges();
    window_.reset(result_->recordCount());
    notifyStateChanged();
    window_.fillFromStart();
    notifyChanged();
}

void OccupationRecordSet::close() {
    if (!active()) return;
    window_.reset(0);
    bound_.clear();
    result_.reset();
    forgetEdges();
    notifyStateChanged();
}

void OccupationRecordSet::forgetEdges() {
    window_.forgetEdges();
    shown_.renew(active() ? result_->recordCount() : 0, filterApplies());
}

void OccupationRecordSet::requireActive() const {
    if (!active()) {
        throw EDatabaseError::named(
            name_, QStringLiteral("Cannot perform this operation on a closed dataset"));
    }
}

// ---- the filter -------------------------------------------------------------

void OccupationRecordSet::setFiltered(bool filtered) {
    if (filtered == filtered_) return;
    filtered_ = filtered;
    window_.setFiltering(filtered_ && onFilterRecord_);
    forgetEdges();
    if (active()) first();
}

void OccupationRecordSet::setOnFilterRecord(FilterRecord predicate, FilterScan scan) {
    onFilterRecord_ = std::move(predicate);
    filterScan_ = onFilterRecord_ ? std::move(scan) : FilterScan();
    window_.setFiltering(filtered_ && onFilterRecord_);
    shown_.renew(active() ? result_->recordCount() : 0, filterApplies());
}

bool OccupationRecordSet::filterApplies() const { return active() && filtered_ && onFilterRecord_; }

const SearchTexts& OccupationRecordSet::searchTexts() const {
    return searchTexts_.texts({*result_, bound_[MeslekAdi], bound_[MeslekKodu], sql_, name_});
}

RecordWindow::Fetched OccupationRecordSet::fetch(int from, int step) {
    const int count = result_->recordCount();
    int position = from + step;
    RowUnderTest guard(rowUnderTest_);
    bool accept = true;
    try {
        if (filterScan_) return {filterScan_(searchTexts(), from, step)};
        for (; position >= 1 && position <= count; position += step) {
            prefetchAhead(*result_, bound_[MeslekKodu], position, step);
            rowUnderTest_ = position;
            onFilterRecord_(*this, accept);
            if (accept) return {position};
        }
    } catch (const Exception& failure) {
        if (!failureReport_) throw;
        rowUnderTest_ = 0;
        failureReport_(failure);
        return {0, true};
    }
    return {0};
}

std::vector<int> OccupationRecordSet::collectShown() const {
    std::vector<int> positions;
    const int count = result_->recordCount();
    auto* self = const_cast<OccupationRecordSet*>(this);
    RowUnderTest guard(self->rowUnderTest_);
    try {
        if (filterScan_) {
            const SearchTexts& texts = searchTexts();
            for (int at = filterScan_(texts, 0, +1); at != 0; at = filterScan_(texts, at, +1)) {
                positions.push_back(at);
            }
        } else {
            for (int position = 1; position <= count; ++position) {
                prefetchAhead(*result_, bound_[MeslekKodu], position, +1);
                bool accept = true;
                self->rowUnderTest_ = position;
                onFilterRecord_(*self, accept);
                if (accept) positions.push_back(position);
            }
        }
    } catch (const Exception&) {
        // The rows before the failure stay; the next fetch reports it.
    }
    return positions;
}

// ---- the window -------------------------------------------------------------

void OccupationRecordSet::setWindowSize(int rows) {
    if (window_.resize(rows)) notifyChanged();
}

void OccupationRecordSet::setCurrentWindowIndex(int index) {
    if (window_.select(index)) notifyMoved();
}

int OccupationRecordSet::windowRecNo(int index) const { return window_.positionAt(index); }

QString OccupationRecordSet::windowFieldText(int index, Field field) const {
    if (!active() || index < 0 || index >= windowCount()) return QString();
    return ownCopy(
        result_->valueAt(window_.positionAt(index), bound_[static_cast<std::size_t>(field)]));
}

void OccupationRecordSet::first() {
    requireActive();
    window_.fillFromStart();
    notifyChanged();
}

void OccupationRecordSet::last() {
    requireActive();
    window_.fillFromEnd();
    notifyChanged();
}

void OccupationRecordSet::next() {
    requireActive();
    if (window_.stepForward()) notifyMoved();
}

void OccupationRecordSet::prior() {
    requireActive();
    if (window_.stepBack()) notifyMoved();
}

int OccupationRecordSet::moveBy(int distance) {
    requireActive();
    const int moved = window_.moveBy(distance);
    if (moved != 0) notifyMoved();
    return moved;
}

void OccupationRecordSet::moveToRecNo(int position) {
    requireActive();
    if (window_.moveTo(position)) notifyChanged();
}

bool OccupationRecordSet::atFirstRecord() { return !active() || window_.atFirst(); }

bool OccupationRecordSet::atLastRecord() { return !active() || window_.atLast(); }

int OccupationRecordSet::recordCount() const {
    requireActive();
    return result_->recordCount();
}

int OccupationRecordSet::recNo() const {
    requireActive();
    return window_.empty() ? -1 : window_.currentPosition();
}

// ---- field reads ------------------------------------------------------------

QString OccupationRecordSet::fieldText(Field field) const {
    const int position = active() ? readPosition() : 0;
    if (position == 0) return QString();
    return ownCopy(result_->valueAt(position, bound_[static_cast<std::size_t>(field)]));
}

QStringView OccupationRecordSet::fieldView(Field field) const {
    const int position = active() ? readPosition() : 0;
    if (position == 0) return {};
    return result_->viewAt(position, bound_[static_cast<std::size_t>(field)]);
}

QString OccupationRecordSet::foldedName() const { return FoldSearchText(fieldText(MeslekAdi)); }

QString OccupationRecordSet::positionFieldText(int position, Field field) const {
    if (!active() || position < 1 || position > result_->recordCount()) return QString();
    return ownCopy(result_->valueAt(position, bound_[static_cast<std::size_t>(field)]));
}

// ---- the shown list ---------------------------------------------------------

int OccupationRecordSet::shownCount() const { return shown_.count(); }

int OccupationRecordSet::shownPosition(int row) const { return shown_.position(row); }

int OccupationRecordSet::shownRowOf(int position) const { return shown_.rowOf(position); }

// ---- observers --------------------------------------------------------------

void OccupationRecordSet::addObserver(RecordSetObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void OccupationRecordSet::removeObserver(RecordSetObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void OccupationRecordSet::notifyBusy(bool busy) {
    for (RecordSetObserver* observer : observers_) observer->recordSetBusy(busy);
}

void OccupationRecordSet::notifyStateChanged() {
    const auto observers = observers_;
    for (RecordSetObserver* observer : observers) observer->recordSetStateChanged();
}

void OccupationRecordSet::notifyChanged() {
    const auto observers = observers_;
    for (RecordSetObserver* observer : observers) observer->recordSetChanged();
}

void OccupationRecordSet::notifyMoved() {
    const auto observers = observers_;
    for (RecordSetObserver* observer : observers) observer->currentRecordMoved();
}
