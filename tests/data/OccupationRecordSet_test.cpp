#include <QFile>

#include <gtest/gtest.h>

#include <set>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/OccupationRecordSet.h"
#include "exceptions/Exceptions.h"
#include "support/OccupationFixtures.h"
#include "support/RecordSetWindow.h"
#include "support/TempWorkDir.h"

namespace {

const QString DefaultFile = QStringLiteral("AnaData/MeslekAna.mdb");

// Rows whose codes, and so whose positions in code order, are 1, 2, ..., count.
std::vector<jet4::OccupationRow> numberedRows(int count) {
    std::vector<jet4::OccupationRow> rows;
    for (int i = count; i >= 1; --i) {
        rows.push_back({QStringLiteral("%1.01").arg(i, 4, 10, QLatin1Char('0')),
                        QStringLiteral("Meslek %1").arg(i), QString()});
    }
    return rows;
}

int positionOfCode(const QString& code) { return code.left(4).toInt(); }

struct Events : RecordSetObserver {
    int stateChanges = 0;
    int changes = 0;
    int moves = 0;
    void recordSetStateChanged() override { ++stateChanges; }
    void recordSetChanged() override { ++changes; }
    void currentRecordMoved() override { ++moves; }
};

class RecordSetTest : public ::testing::Test {
protected:
    RecordSetTest() {
        ConnectionSettings::applyTo(connection);
        records.setSql({ConnectionSettings::startupStatement()});
        records.addObserver(&events);
    }

    void writeRows(const std::vector<jet4::OccupationRow>& rows) {
        work.writeProgramDatabase(rows);
    }

    // Filters by position: accepts the rows whose position is in `accepted`,
    // counting the tests.
    void acceptPositions(std::set<int> accepted) {
        records.setOnFilterRecord([this, accepted](OccupationRecordSet& set, bool& accept) {
            ++tests;
            accept = accepted.count(positionOfCode(set.fieldText(OccupationRecordSet::MeslekKodu)));
        });
    }

    std::vector<int> windowPositions() const { return ::windowPositions(records); }

    TempWorkDir work;
    Connection connection;
    OccupationRecordSet records{connection};
    Events events;
    int tests = 0;
};

std::string failureText(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& failure) {
        return failure.message().toStdString();
    }
    return {};
}

}  // namespace

TEST_F(RecordSetTest, OpensOnTheFirstRowsAndClosesLeavingTheConnection) {
    writeRows(numberedRows(10));
    records.setWindowSize(4);
    records.open();
    EXPECT_TRUE(connection.connected());
    EXPECT_TRUE(records.active());
    EXPECT_EQ(windowPositions(), std::vector<int>({1, 2, 3, 4}));
    EXPECT_EQ(records.recNo(), 1);
    EXPECT_EQ(records.recordCount(), 10);
    EXPECT_TRUE(records.bof());
    EXPECT_FALSE(records.eof());
    EXPECT_EQ(records.fieldText(OccupationRecordSet::MeslekKodu), "0001.01");
    EXPECT_EQ(records.fieldText(OccupationRecordSet::MeslekAdi), "Meslek 1");
    // Fields that are never shown are never read.
    EXPECT_EQ(records.fieldText(OccupationRecordSet::MeslekAna), QString());
    EXPECT_EQ(records.fieldText(OccupationRecordSet::ID), QString());
    EXPECT_EQ(records.windowFieldText(3, OccupationRecordSet::MeslekAdi), "Meslek 4");
    EXPECT_EQ(records.foldedName(), u"meslek 1");
    EXPECT_EQ(events.stateChanges, 1);
    EXPECT_EQ(events.changes, 1);

    records.setActive(true);
    EXPECT_EQ(events.stateChanges, 1);

    records.close();
    EXPECT_FALSE(records.active());
    EXPECT_TRUE(connection.connected());
    EXPECT_EQ(events.stateChanges, 2);
    EXPECT_TRUE(records.isEmpty());
    EXPECT_EQ(records.fieldText(OccupationRecordSet::MeslekKodu), QString());
    EXPECT_TRUE(records.foldedName().isEmpty());
    const std::string closed = "meslekkoduQuery: Cannot perform this operation on a closed dataset";
    EXPECT_EQ(failureText([&] { records.recordCount(); }), closed);
    EXPECT_EQ(failureText([&] { records.recNo(); }), closed);
    EXPECT_EQ(failureText([&] { records.next(); }), closed);
    records.setActive(false);
    EXPECT_EQ(events.stateChanges, 2);
}

TEST_F(RecordSetTest, ScrollingMovesInsideTheWindowAndFetchesAtItsEdges) {
    writeRows(numberedRows(10));
    records.setWindowSize(3);
    records.open();
    records.next();
    records.next();
    EXPECT_EQ(windowPositions(), std::vector<int>({1, 2, 3}));
    EXPECT_EQ(records.currentWindowIndex(), 2);
    records.next();
    EXPECT_EQ(windowPositions(), std::vector<int>({2, 3, 4}));
    EXPECT_EQ(records.recNo(), 4);
    EXPECT_EQ(records.moveBy(100), 6);
    EXPECT_TRUE(records.eof());
    EXPECT_EQ(windowPositions(), std::vector<int>({8, 9, 10}));
    EXPECT_EQ(records.moveBy(-3), 3);
    EXPECT_EQ(records.recNo(), 7);
    EXPECT_EQ(windowPositions(), std::vector<int>({7, 8, 9}));
    EXPECT_FALSE(records.eof() || records.bof());

    records.first();
    EXPECT_EQ(windowPositions(), std::vector<int>({1, 2, 3}));
    // Moves back stop at the first row and count only the rows passed.
    records.moveBy(2);
    EXPECT_EQ(records.moveBy(-5), 2);
    EXPECT_EQ(records.recNo(), 1);
    records.prior();
    EXPECT_TRUE(records.bof());
    EXPECT_EQ(records.recNo(), 1);
    const int moves = events.moves;
    EXPECT_EQ(records.moveBy(-1), 0);
    EXPECT_EQ(events.moves, moves);

    records.last();
    EXPECT_EQ(windowPositions(), std::vector<int>({8, 9, 10}));
    EXPECT_EQ(records.recNo(), 10);
    EXPECT_TRUE(records.eof());

    records.moveToRecNo(5);
    EXPECT_EQ(windowPositions(), std::vector<int>({4, 5, 6}));
    EXPECT_EQ(records.recNo(), 5);
    records.moveToRecNo(1);
    EXPECT_EQ(windowPositions(), std::vector<int>({1, 2, 3}));
    records.moveToRecNo(10);
    EXPECT_EQ(windowPositions(), std::vector<int>({8, 9, 10}));
    EXPECT_EQ(records.currentWindowIndex(), 2);

    records.setCurrentWindowIndex(0);
    EXPECT_EQ(records.recNo(), 8);

    // In a window of even size the row has one row fewer above it than below.
    records.setWindowSize(4);
    records.moveToRecNo(5);
    EXPECT_EQ(windowPositions(), std::vector<int>({4, 5, 6, 7}));
    EXPECT_EQ(records.currentWindowIndex(), 1);
}

TEST_F(RecordSetTest, WindowGrowsForwardThenBackAndShrinksAroundTheCurrentRow) {
    writeRows(numberedRows(10));
    records.setWindowSize(3);
    records.open();
    records.moveToRecNo(9);
    EXPECT_EQ(windowPositions(), std::vector<int>({8, 9, 10}));
    records.setWindowSize(6);
    EXPECT_EQ(windowPositions(), std::vector<int>({5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(records.recNo(), 9);

    records.setWindowSize(2);
    EXPECT_EQ(windowPositions(), std::vector<int>({8, 9}));
    EXPECT_EQ(records.recNo(), 9);
    records.setWindowSize(5);
    EXPECT_EQ(windowPositions(), std::vector<int>({6, 7, 8, 9, 10}));
    records.setCurrentWindowIndex(0);
    records.setWindowSize(1);
    EXPECT_EQ(windowPositions(), std::vector<int>({6}));

    // The grid may be taller than the list.
    records.setWindowSize(50);
    EXPECT_EQ(records.windowCount(), 10);
    EXPECT_EQ(records.recNo(), 6);
}

TEST_F(RecordSetTest, FilterTestsOnlyTheRowsThatEnterTheWindow) {
    writeRows(numberedRows(200));
    records.setWindowSize(5);
    acceptPositions({3, 4, 9, 10, 11, 12, 13, 14, 150});
    records.open();
    EXPECT_EQ(tests, 0);

    records.setFiltered(true);
    EXPECT_EQ(windowPositions(), std::vector<int>({3, 4, 9, 10, 11}));
    EXPECT_EQ(tests, 11);
    EXPECT_EQ(records.recNo(), 3);
    records.next();
    EXPECT_EQ(records.recNo(), 4);
    EXPECT_EQ(tests, 11);
    EXPECT_EQ(records.moveBy(4), 4);
    EXPECT_EQ(records.recNo(), 12);
    EXPECT_EQ(windowPositions(), std::vector<int>({4, 9, 10, 11, 12}));
    EXPECT_EQ(tests, 12);
    EXPECT_FALSE(records.isSequenced());

    // Switching on again while on re-tests nothing and keeps the window.
    records.setFiltered(true);
    EXPECT_EQ(tests, 12);
    EXPECT_EQ(records.recNo(), 12);

    // Rows already shown stay when the filter changes its mind; rows
    // scrolled in later are tested anew.
    acceptPositions({13, 20});
    records.moveBy(3);
    EXPECT_EQ(windowPositions(), std::vector<int>({10, 11, 12, 13, 20}));
    EXPECT_EQ(records.recordCount(), 200);

    records.setFiltered(false);
    EXPECT_EQ(windowPositions(), std::vector<int>({1, 2, 3, 4, 5}));
    EXPECT_TRUE(records.isSequenced());
}

TEST_F(RecordSetTest, FilterThatAcceptsNothingLeavesTheSetOpenAndEmpty) {
    writeRows(numberedRows(30));
    records.setWindowSize(4);
    acceptPositions({});
    records.setFiltered(true);
    records.open();
    EXPECT_EQ(tests, 30);
    EXPECT_TRUE(records.active());
    EXPECT_TRUE(records.isEmpty());
    EXPECT_EQ(records.recNo(), -1);
    EXPECT_EQ(records.recordCount(), 30);
    EXPECT_EQ(records.fieldText(OccupationRecordSet::MeslekAdi), QString());
    EXPECT_TRUE(records.fieldView(OccupationRecordSet::MeslekKodu).isEmpty());
    EXPECT_TRUE(records.foldedName().isEmpty());
    EXPECT_TRUE(records.bof() && records.eof());

    // Neither scrolling nor a taller grid tests the whole list again.
    records.next();
    records.prior();
    records.setWindowSize(10);
    EXPECT_EQ(tests, 30);
    records.first();
    EXPECT_EQ(tests, 60);
}

TEST_F(RecordSetTest, PredicateReadsTheRowUnderTest) {
    writeRows(numberedRows(6));
    records.setWindowSize(2);
    records.open();
    QStringList seen;
    records.setOnFilterRecord([&](OccupationRecordSet& set, bool& accept) {
        seen << set.fieldText(OccupationRecordSet::MeslekAdi) + "|" + set.foldedName();
        accept = set.fieldView(OccupationRecordSet::MeslekKodu).startsWith(u"0002") ||
                 set.fieldView(OccupationRecordSet::MeslekKodu).startsWith(u"0005");
    });
    records.setFiltered(true);
    EXPECT_EQ(seen, QStringList({"Meslek 1|meslek 1", "Meslek 2|meslek 2", "Meslek 3|meslek 3",
                                 "Meslek 4|meslek 4", "Meslek 5|meslek 5"}));
    EXPECT_EQ(records.fieldText(OccupationRecordSet::MeslekAdi), "Meslek 2");
}

TEST_F(RecordSetTest, FilterSwitchOnAClosedSetAppliesAtTheNextOpen) {
    writeRows(numberedRows(12));
    records.setWindowSize(2);
    acceptPositions({5, 7, 11});
    records.setFiltered(true);
    EXPECT_EQ(tests, 0);
    records.open();
    EXPECT_EQ(windowPositions(), std::vector<int>({5, 7}));
    records.close();
    EXPECT_TRUE(records.filtered());
    records.open();
    EXPECT_EQ(windowPositions(), std::vector<int>({5, 7}));
    records.moveToRecNo(8);
    EXPECT_EQ(records.recNo(), 11);
}

TEST_F(RecordSetTest, RecordCountIsZeroOnlyForAnEmptyResult) {
    writeRows({});
    records.open();
    EXPECT_EQ(records.recordCount(), 0);
    EXPECT_TRUE(records.isEmpty());
    EXPECT_EQ(records.recNo(), -1);
    records.moveToRecNo(1);
    records.last();
    EXPECT_TRUE(records.isEmpty());
}

TEST_F(RecordSetTest, ResortReadsTheListAgainInTheNewOrderKeepingTheFilter) {
    writeRows({{"3112.03", "Işık Teknisyeni", QString()},
               {"2142.01", "İnşaat Mühendisi", QString()},
               {"5120.02", "Aşçı", QString()},
               {"8322.05", "Şoför", QString()},
               {"2142.02", "Harita Mühendisi", QString()}});
    records.setWindowSize(10);
    records.open();
    records.resort("meslek_adi", "DESC");
    EXPECT_EQ(records.sql(), QStringList({"select * FROM meslekler ORDER BY meslek_adi DESC"}));
    EXPECT_EQ(records.statementText(), "select * FROM meslekler ORDER BY meslek_adi DESC\r\n");
    EXPECT_EQ(records.recNo(), 1);
    EXPECT_EQ(records.fieldText(OccupationRecordSet::MeslekAdi), "Şoför");
    EXPECT_EQ(events.stateChanges, 3);

    records.setOnFilterRecord([](OccupationRecordSet& set, bool& accept) {
        accept = set.foldedName().contains(u"mühendis");
    });
    records.setFiltered(true);
    records.resort("meslek_kodu", "DESC");
    EXPECT_EQ(records.windowCount(), 2);
    EXPECT_EQ(records.windowFieldText(0, OccupationRecordSet::MeslekKodu), "2142.02");
    EXPECT_EQ(records.windowFieldText(1, OccupationRecordSet::MeslekKodu), "2142.01");
    EXPECT_EQ(windowPositions(), std::vector<int>({4, 5}));
    EXPECT_TRUE(records.filtered());
}

TEST_F(RecordSetTest, ReadsTheFileAgainOnlyWhenClosedAndOpened) {
    writeRows(numberedRows(3));
    records.open();
    writeRows(numberedRows(7));
    records.setActive(true);
    EXPECT_EQ(records.recordCount(), 3);
    records.setActive(false);
    records.setActive(true);
    EXPECT_EQ(records.recordCount(), 7);

    // A change to the statement closes the set, except while loading.
    records.setLoading(true);
    records.setSql({"select * FROM meslekler ORDER BY meslek_adi DESC"});
    EXPECT_TRUE(records.active());
    records.setLoading(false);
    records.clearSql();
    EXPECT_FALSE(records.active());
    EXPECT_TRUE(records.isEmpty());
    records.addSqlLine("select * FROM meslekler");
    records.addSqlLine("ORDER BY meslek_kodu DESC");
    records.open();
    EXPECT_EQ(records.fieldText(OccupationRecordSet::MeslekKodu), "0007.01");
}

TEST_F(RecordSetTest, RowsStayAfterTheFileIsRemovedButTheNextOpenFails) {
    writeRows(numberedRows(8));
    records.setWindowSize(2);
    records.open();
    ASSERT_TRUE(QFile::remove(work.path(DefaultFile)));
    acceptPositions({2, 6});
    records.setFiltered(true);
    EXPECT_EQ(windowPositions(), std::vector<int>({2, 6}));
    records.setFiltered(false);
    records.last();
    EXPECT_EQ(records.recNo(), 8);

    records.close();
    EXPECT_THROW(records.open(), EOleException);
    EXPECT_FALSE(records.active());
    EXPECT_EQ(events.stateChanges, 2);
    writeRows(numberedRows(2));
    records.open();
    EXPECT_EQ(records.recordCount(), 2);
}

TEST_F(RecordSetTest, OpenFailsClosedWhenAFieldFindsNoColumn) {
    jet4::DatabaseDef database =
        jet4::occupationDatabase(numberedRows(2), ConnectionSettings::builtInDatabasePassword());
    database.tables[0].columns[2].name = "ad";
    work.writeDatabase(DefaultFile, database);
    EXPECT_EQ(failureText([&] { records.open(); }),
              "meslekkoduQuery: Field 'Meslek Adı' not found");
    EXPECT_FALSE(records.active());
    EXPECT_EQ(events.stateChanges, 0);
}

TEST_F(RecordSetTest, PredicateFailureEndsOnlyThatFetch) {
    writeRows(numberedRows(20));
    records.setWindowSize(4);
    records.open();
    QStringList reports;
    records.setFailureReport([&](const Exception& failure) { reports << failure.message(); });
    records.setOnFilterRecord([](OccupationRecordSet& set, bool& accept) {
        const int position = positionOfCode(set.fieldText(OccupationRecordSet::MeslekKodu));
        if (position == 3) throw EDatabaseError("kırık satır");
        accept = position % 2 == 0;
    });
    records.setFiltered(true);
    EXPECT_EQ(reports, QStringList({"kırık satır"}));
    EXPECT_EQ(windowPositions(), std::vector<int>({2}));
    EXPECT_TRUE(records.filtered());
    EXPECT_EQ(records.fieldText(OccupationRecordSet::MeslekKodu), "0002.01");

    records.next();
    EXPECT_EQ(reports.size(), 2);
    EXPECT_EQ(windowPositions(), std::vector<int>({2}));
    EXPECT_TRUE(records.eof());

    // Without a report the failure goes to whoever asked for the row.
    records.setFailureReport({});
    EXPECT_THROW(records.next(), EDatabaseError);
    EXPECT_EQ(records.fieldText(OccupationRecordSet::MeslekKodu), "0002.01");
}
