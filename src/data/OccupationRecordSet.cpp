#include "data/OccupationRecordSet.h"

#include <algorithm>
#include <thread>

#include "data/Connection.h"
#include "data/FieldBinding.h"
#include "data/RowSlices.h"
#include "data/Statement.h"
#include "exceptions/Exceptions.h"
#include "text/FoldSearchText.h"
#include "text/RowTextBlock.h"

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

}  // namespace

OccupationRecordSet::OccupationRecordSet(Connection& connection, QString name)
    : connection_(connection), name_(std::move(name)) {}

OccupationRecordSet::~OccupationRecordSet() = default;

void OccupationRecordSet::setSql(const QStringList& lines) {
    if (!loading_) close();
    sql_ = lines;
}

void OccupationRecordSet::addSqlLine(const QString& line) {
    if (!loading_) close();
    sql_.append(line);
}

QString OccupationRecordSet::statementText() const { return joinStatementLines(sql_); }

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
        result = connection_.execute(statementText());
    }
    if (result == nullptr) {
        throw EDatabaseError::named(name_,
                                    QStringLiteral("CommandText does not return a result set"));
    }
    std::vector<int> bound = bindFields(result->columns(), occupationFields(), name_);
    result->moveFirst();

    result_ = std::move(result);
    bound_ = std::move(bound);
    if (searchTable_.lock() != result_->sharedTable()) {
        searchTexts_.reset();
        searchOrder_.reset();
    }
    // Texts of the same table in another order serve to make this order's.
    searchTextsRearranged_ = searchTexts_ == nullptr || searchStatement_ == statementText();
    forgetEdges();
    window_.clear();
    current_ = 0;
    bof_ = true;
    eof_ = true;
    notifyStateChanged();
    fillFromStart();
    notifyChanged();
}

void OccupationRecordSet::close() {
    if (!active()) return;
    window_.clear();
    current_ = 0;
    bof_ = true;
    eof_ = true;
    bound_.clear();
    result_.reset();
    forgetEdges();
    notifyStateChanged();
}

void OccupationRecordSet::setFiltered(bool filtered) {
    if (filtered == filtered_) return;
    filtered_ = filtered;
    forgetEdges();
    if (active()) first();
}

void OccupationRecordSet::setWindowSize(int rows) {
    rows = std::max(1, rows);
    if (rows == windowSize_) return;
    windowSize_ = rows;
    if (!active() || window_.empty()) return;
    const auto size = static_cast<std::size_t>(rows);
    bool changed = false;
    if (window_.size() < size) {
        while (window_.size() < size && fetchAfterLast()) changed = true;
        while (window_.size() < size && fetchBeforeFirst()) {
            ++current_;
            changed = true;
        }
    } else if (window_.size() > size) {
        // The rows below the current one go first, then those above it.
        while (window_.size() > size && static_cast<int>(window_.size()) - 1 > current_) {
            window_.pop_back();
        }
        if (window_.size() > size) {
            const auto drop = window_.size() - size;
            window_.erase(window_.begin(), window_.begin() + static_cast<std::ptrdiff_t>(drop));
            current_ -= static_cast<int>(drop);
        }
        changed = true;
    }
    if (changed) notifyChanged();
}

void OccupationRecordSet::setCurrentWindowIndex(int index) {
    if (index < 0 || index >= windowCount() || index == current_) return;
    current_ = index;
    notifyMoved();
}

int OccupationRecordSet::windowRecNo(int index) const {
    if (index < 0 || index >= windowCount()) return -1;
    return window_[static_cast<std::size_t>(index)].position;
}

QString OccupationRecordSet::windowFieldText(int index, Field field) const {
    if (!active() || index < 0 || index >= windowCount()) return QString();
    return ownCopy(result_->valueAt(window_[static_cast<std::size_t>(index)].position,
                                    bound_[static_cast<std::size_t>(field)]));
}

void OccupationRecordSet::first() {
    requireActive();
    fillFromStart();
    notifyChanged();
}

void OccupationRecordSet::last() {
    requireActive();
    window_.clear();
    current_ = 0;
    const int failures = fetchFailures_;
    const int position = fetch(result_->recordCount() + 1, -1);
    if (failures == fetchFailures_) lastAccepted_ = position;
    if (position != 0) {
        window_.push_back({position});
        while (window_.size() < static_cast<std::size_t>(windowSize_) && fetchBeforeFirst()) {
        }
        current_ = windowCount() - 1;
    }
    eof_ = true;
    bof_ = window_.empty();
    notifyChanged();
}

void OccupationRecordSet::next() {
    requireActive();
    const int before = readPosition();
    stepForward();
    if (readPosition() != before) notifyMoved();
}

void OccupationRecordSet::prior() {
    requireActive();
    const int before = readPosition();
    stepBack();
    if (readPosition() != before) notifyMoved();
}

int OccupationRecordSet::moveBy(int distance) {
    requireActive();
    int moved = 0;
    while (distance > 0 && !eof_) {
        const int before = readPosition();
        stepForward();
        if (readPosition() == before) break;
        ++moved;
        --distance;
    }
    while (distance < 0 && !bof_) {
        const int before = readPosition();
        stepBack();
        if (readPosition() == before) break;
        ++moved;
        ++distance;
    }
    if (moved != 0) notifyMoved();
    return moved;
}

void OccupationRecordSet::moveToRecNo(int position) {
    requireActive();
    const int count = result_->recordCount();
    if (count == 0) return;
    position = std::clamp(position, 1, count);
    const int found = fetch(position - 1, +1);
    if (found == 0) {
        last();
        return;
    }
    window_.assign(1, WindowRow{found});
    current_ = 0;
    // The row goes to the middle of the window where the rows around it allow.
    for (int above = (windowSize_ - 1) / 2; above > 0 && fetchBeforeFirst(); --above) ++current_;
    while (window_.size() < static_cast<std::size_t>(windowSize_) && fetchAfterLast()) {
    }
    while (window_.size() < static_cast<std::size_t>(windowSize_) && fetchBeforeFirst()) {
        ++current_;
    }
    bof_ = false;
    eof_ = false;
    notifyChanged();
}

bool OccupationRecordSet::atFirstRecord() {
    if (!active() || window_.empty()) return true;
    if (current_ > 0) return false;
    if (firstAccepted_ == UnknownPosition) {
        const int failures = fetchFailures_;
        const int position = fetch(0, +1);
        if (failures != fetchFailures_) return false;
        firstAccepted_ = position;
    }
    return window_.front().position == firstAccepted_;
}

bool OccupationRecordSet::atLastRecord() {
    if (!active() || window_.empty()) return true;
    if (current_ < windowCount() - 1) return false;
    if (lastAccepted_ == UnknownPosition) {
        const int failures = fetchFailures_;
        const int position = fetch(result_->recordCount() + 1, -1);
        if (failures != fetchFailures_) return false;
        lastAccepted_ = position;
    }
    return window_.back().position == lastAccepted_;
}

int OccupationRecordSet::recordCount() const {
    requireActive();
    return result_->recordCount();
}

int OccupationRecordSet::recNo() const {
    requireActive();
    if (window_.empty()) return -1;
    return window_[static_cast<std::size_t>(current_)].position;
}

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

bool OccupationRecordSet::filterApplies() const { return active() && filtered_ && onFilterRecord_; }

const std::vector<int>& OccupationRecordSet::shownPositions() const {
    if (shownPositions_ != nullptr) return *shownPositions_;
    auto positions = std::make_unique<std::vector<int>>();
    const int count = result_->recordCount();
    auto* self = const_cast<OccupationRecordSet*>(this);
    RowUnderTest guard(self->rowUnderTest_);
    try {
        if (filterScan_) {
            const SearchTexts& texts = searchTexts();
            for (int at = filterScan_(texts, 0, +1); at != 0; at = filterScan_(texts, at, +1)) {
                positions->push_back(at);
            }
        } else {
            for (int position = 1; position <= count; ++position) {
                prefetchAhead(*result_, bound_[MeslekKodu], position, +1);
                bool accept = true;
                self->rowUnderTest_ = position;
                onFilterRecord_(*self, accept);
                if (accept) positions->push_back(position);
            }
        }
    } catch (const Exception&) {
        // The rows before the failure stay; the next fetch reports it.
    }
    shownPositions_ = std::move(positions);
    return *shownPositions_;
}

int OccupationRecordSet::shownCount() const {
    if (!active()) return 0;
    if (!filterApplies()) return result_->recordCount();
    return static_cast<int>(shownPositions().size());
}

int OccupationRecordSet::shownPosition(int row) const {
    if (row < 0 || row >= shownCount()) return 0;
    if (!filterApplies()) return row + 1;
    return shownPositions()[static_cast<std::size_t>(row)];
}

int OccupationRecordSet::shownRowOf(int position) const {
    if (!active() || position < 1 || position > result_->recordCount()) return -1;
    if (!filterApplies()) return position - 1;
    const std::vector<int>& positions = shownPositions();
    const auto found = std::lower_bound(positions.begin(), positions.end(), position);
    if (found == positions.end() || *found != position) return -1;
    return static_cast<int>(found - positions.begin());
}

QString OccupationRecordSet::positionFieldText(int position, Field field) const {
    if (!active() || position < 1 || position > result_->recordCount()) return QString();
    return ownCopy(result_->valueAt(position, bound_[static_cast<std::size_t>(field)]));
}

QString OccupationRecordSet::foldedName() const { return FoldSearchText(fieldText(MeslekAdi)); }

void OccupationRecordSet::resort(const QString& column, const QString& direction) {
    clearSql();
    addSqlLine(resortStatement(column, direction));
    open();
}

QString OccupationRecordSet::resortStatement(const QString& column, const QString& direction) {
    return QStringLiteral("select * FROM meslekler ORDER BY ") + column + QLatin1Char(' ') +
           direction;
}

void OccupationRecordSet::notifyBusy(bool busy) {
    for (RecordSetObserver* observer : observers_) observer->recordSetBusy(busy);
}

void OccupationRecordSet::addObserver(RecordSetObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void OccupationRecordSet::removeObserver(RecordSetObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void OccupationRecordSet::requireActive() const {
    if (!active()) {
        throw EDatabaseError::named(
            name_, QStringLiteral("Cannot perform this operation on a closed dataset"));
    }
}

namespace {

// Where each row's bytes start in a block, rows in statement order, from the
// sizes of the physical rows; each row is followed by its separator.
std::vector<std::uint32_t> blockStarts(const ResultSet& result,
                                       const std::vector<std::uint32_t>& size,
                                       const QString& owner) {
    const int count = result.recordCount();
    std::vector<std::uint32_t> start(static_cast<std::size_t>(count) + 1);
    std::uint64_t used = 0;
    for (int position = 1; position <= count; ++position) {
        start[static_cast<std::size_t>(position - 1)] = static_cast<std::uint32_t>(used);
        used += std::uint64_t(size[result.physicalRow(position)]) + 1;
    }
    if (used + RowTextBlock::Padding > UINT32_MAX) {
        throw EDatabaseError::named(
            owner, QStringLiteral("Arama için metinler çok uzun: 4 GB sınırı aşıldı"));
    }
    start[static_cast<std::size_t>(count)] = static_cast<std::uint32_t>(used);
    return start;
}

}  // namespace

// The sizes are counted first, so each block is made exactly as large as its
// texts. Long lists are done in slices of rows on every core. Both passes read the cells in
// physical order, the order in which they lie in memory, a row's name and code together; the second
// writes each row's texts where its position puts them.
const SearchTexts& OccupationRecordSet::searchTexts() const {
    if (searchTexts_ != nullptr && searchTextsRearranged_) return *searchTexts_;
    const ResultSet& result = *result_;
    if (searchTexts_ != nullptr && searchOrder_ != nullptr &&
        searchOrder_->size() == static_cast<std::size_t>(result.recordCount()) &&
        result.table().rowCount() == searchOrder_->size()) {
        searchTexts_ = rearrangedTexts(*searchTexts_, *searchOrder_);
        searchOrder_ = result.sharedOrder();
        searchStatement_ = statementText();
        searchTextsRearranged_ = true;
        return *searchTexts_;
    }
    const RawTable& table = result.table();
    const std::size_t rows = table.rowCount();
    const auto nameColumn = static_cast<std::size_t>(bound_[MeslekAdi]);
    const auto codeColumn = static_cast<std::size_t>(bound_[MeslekKodu]);

    const std::size_t slices = rowSliceCount(rows, 2048);
    std::vector<std::uint32_t> nameSize(rows);
    std::vector<std::uint32_t> codeSize(rows);
    forEachRowSlice(rows, slices, [&](std::size_t, std::size_t begin, std::size_t end) {
        for (std::size_t row = begin; row < end; ++row) {
            nameSize[row] =
                static_cast<std::uint32_t>(foldedScanFormSize(table.cell(row, nameColumn)));
            codeSize[row] = static_cast<std::uint32_t>(scanFormSize(table.cell(row, codeColumn)));
        }
    });
    auto texts = std::make_unique<SearchTexts>();
    texts->names = RowTextBlock(blockStarts(result, nameSize, name_));
    texts->codes = RowTextBlock(blockStarts(result, codeSize, name_));
    nameSize = {};
    codeSize = {};

    // The position of every physical row, 0 for a row the result leaves out.
    std::vector<std::uint32_t> positionOf(rows, 0);
    for (int position = 1; position <= result.recordCount(); ++position) {
        positionOf[result.physicalRow(position)] = static_cast<std::uint32_t>(position);
    }
    SearchTexts& out = *texts;
    forEachRowSlice(rows, slices, [&](std::size_t, std::size_t begin, std::size_t end) {
        for (std::size_t row = begin; row < end; ++row) {
            const int position = static_cast<int>(positionOf[row]);
            if (position == 0) continue;
            writeFoldedScanForm(table.cell(row, nameColumn), out.names.rowData(position - 1));
            writeScanForm(table.cell(row, codeColumn), out.codes.rowData(position - 1));
        }
    });
    searchTexts_ = std::move(texts);
    searchTable_ = result.sharedTable();
    searchStatement_ = statementText();
    searchOrder_ = result.sharedOrder();
    searchTextsRearranged_ = true;
    return *searchTexts_;
}

// Every row of the open result is a row of `order` (both hold the whole
// table): its bytes are copied from where `order` put them, on every core.
std::unique_ptr<SearchTexts> OccupationRecordSet::rearrangedTexts(
    const SearchTexts& texts, const std::vector<std::uint32_t>& order) const {
    const ResultSet& result = *result_;
    const std::size_t rows = order.size();
    // Where every row of the open result lies in `texts` (0-based).
    // Each pass reads all over memory: every pass runs on every core.
    const std::size_t slices = rowSliceCount(rows, 2048);
    std::vector<std::uint32_t> from(rows);
    {
        std::vector<std::uint32_t> oldPlace(rows);
        forEachRowSlice(rows, slices, [&](std::size_t, std::size_t begin, std::size_t end) {
            for (std::size_t place = begin; place < end; ++place) {
                oldPlace[order[place]] = static_cast<std::uint32_t>(place);
            }
        });
        forEachRowSlice(rows, slices, [&](std::size_t, std::size_t begin, std::size_t end) {
            for (std::size_t place = begin; place < end; ++place) {
                from[place] = oldPlace[result.physicalRow(static_cast<int>(place) + 1)];
            }
        });
    }
    auto rearranged = std::make_unique<SearchTexts>();
    {
        // The codes beside the names.
        std::jthread codes([&] { rearranged->codes = texts.codes.rearranged(from); });
        rearranged->names = texts.names.rearranged(from);
    }
    return rearranged;
}

int OccupationRecordSet::fetch(int from, int step) {
    const int count = result_->recordCount();
    int position = from + step;
    if (!filtered_ || !onFilterRecord_) return position >= 1 && position <= count ? position : 0;
    RowUnderTest guard(rowUnderTest_);
    bool accept = true;
    try {
        if (filterScan_) return filterScan_(searchTexts(), from, step);
        for (; position >= 1 && position <= count; position += step) {
            prefetchAhead(*result_, bound_[MeslekKodu], position, step);
            rowUnderTest_ = position;
            onFilterRecord_(*this, accept);
            if (accept) return position;
        }
    } catch (const Exception& failure) {
        ++fetchFailures_;
        if (!failureReport_) throw;
        rowUnderTest_ = 0;
        failureReport_(failure);
    }
    return 0;
}

bool OccupationRecordSet::fetchAfterLast() {
    const int position = fetch(window_.empty() ? 0 : window_.back().position, +1);
    if (position == 0) return false;
    window_.push_back({position});
    return true;
}

bool OccupationRecordSet::fetchBeforeFirst() {
    const int position =
        fetch(window_.empty() ? result_->recordCount() + 1 : window_.front().position, -1);
    if (position == 0) return false;
    window_.insert(window_.begin(), WindowRow{position});
    return true;
}

void OccupationRecordSet::fillFromStart() {
    window_.clear();
    current_ = 0;
    const int failures = fetchFailures_;
    while (window_.size() < static_cast<std::size_t>(windowSize_) && fetchAfterLast()) {
    }
    if (failures == fetchFailures_) {
        // The scan began at the first row, and a window it could not fill ends at the last.
        firstAccepted_ = window_.empty() ? 0 : window_.front().position;
        if (window_.size() < static_cast<std::size_t>(windowSize_)) {
            lastAccepted_ = window_.empty() ? 0 : window_.back().position;
        }
    }
    bof_ = true;
    eof_ = window_.empty();
}

void OccupationRecordSet::stepForward() {
    if (window_.empty()) {
        eof_ = true;
        return;
    }
    if (current_ + 1 < windowCount()) {
        ++current_;
    } else if (fetchAfterLast()) {
        if (window_.size() > static_cast<std::size_t>(windowSize_)) window_.erase(window_.begin());
        current_ = windowCount() - 1;
    } else {
        eof_ = true;
        return;
    }
    bof_ = false;
    eof_ = false;
}

void OccupationRecordSet::stepBack() {
    if (window_.empty()) {
        bof_ = true;
        return;
    }
    if (current_ > 0) {
        --current_;
    } else if (fetchBeforeFirst()) {
        if (window_.size() > static_cast<std::size_t>(windowSize_)) window_.pop_back();
        current_ = 0;
    } else {
        bof_ = true;
        return;
    }
    bof_ = false;
    eof_ = false;
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
