#include <gtest/gtest.h>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/OccupationRecordSet.h"
#include "search/SearchCommands.h"
#include "support/OccupationFixtures.h"
#include "support/RecordSetWindow.h"
#include "support/TempWorkDir.h"

namespace {

// The search area without a window: the test types into the boxes and then
// tells the commands, as the window's signals would.
class Boxes : public SearchInputs {
public:
    QString term1() const override { return first; }
    QString term2() const override { return second; }
    bool orChosen() const override { return orMode; }
    bool autoSearchChecked() const override { return autoSearch; }
    void clearTerms() override {
        first.clear();
        second.clear();
    }

    QString first;
    QString second;
    bool orMode = false;
    bool autoSearch = true;
};

struct StateCount : RecordSetObserver {
    int opensAndCloses = 0;
    void recordSetStateChanged() override { ++opensAndCloses; }
};

std::vector<jet4::OccupationRow> occupations() {
    return {{"4110.01", "KATİP", QString()},
            {"4110.02", "Zabıt Katibi", QString()},
            {"5120.01", "Aşçı", QString()},
            {"5120.02", "Baş Aşçı", QString()},
            {"7112.01", "Kat Görevlisi (Otel)", QString()},
            {"2142.01", "İnşaat Mühendisi", QString()},
            {"2142.02", "Harita Mühendisi", QString()},
            {"8211.01", "Makine Operatörü", QString()},
            {"9313.01", "İnşaat İşçisi", QString()},
            {"kat.001", "Kaynakçı", QString()}};
}

class SearchCommandsTest : public ::testing::Test {
protected:
    SearchCommandsTest() {
        ConnectionSettings::applyTo(connection);
        records.setSql({ConnectionSettings::startupStatement()});
        records.addObserver(&states);
        // Count the predicate's tests around the commands' own hook.
        records.setOnFilterRecord([this](OccupationRecordSet& set, bool& accept) {
            ++tests;
            hook(set, accept);
        });
    }

    void writeRows(const std::vector<jet4::OccupationRow>& rows) {
        work.writeProgramDatabase(rows);
    }

    // The user types `text` at the end of box 1, one character at a time.
    void typeInFirstBox(const QString& text) {
        for (QChar c : text) {
            boxes.first += c;
            commands.autoSearch();
        }
    }

    QStringList shownCodes() const { return ::shownCodes(records); }

    TempWorkDir work;
    Connection connection;
    OccupationRecordSet records{connection};
    Boxes boxes;
    SearchCommands commands{records, boxes};
    std::function<void(OccupationRecordSet&, bool&)> hook = commands.filterRecord();
    StateCount states;
    int tests = 0;
};

}  // namespace

TEST_F(SearchCommandsTest, SearchReadsTheListAgainFilteredByTheFirstTerm) {
    writeRows(occupations());
    records.setWindowSize(20);
    records.open();
    boxes.first = "kat";
    commands.search();
    EXPECT_TRUE(records.filtered());
    EXPECT_EQ(shownCodes(), QStringList({"4110.01", "4110.02", "7112.01", "kat.001"}));
    EXPECT_EQ(states.opensAndCloses, 3);

    boxes.first = "İNŞAAT";
    boxes.second = "mühendis";
    commands.search();
    EXPECT_EQ(shownCodes(), QStringList({"2142.01"}));
    boxes.orMode = true;
    commands.search();
    EXPECT_EQ(shownCodes(), QStringList({"2142.01", "2142.02", "9313.01"}));

    // Blanks alone are a term: no folded name holds it, only a code with the blanks.
    writeRows({{"4110.01", "KATİP", QString()}, {"51  20", "Aşçı", QString()}});
    boxes.first = "  ";
    boxes.second.clear();
    commands.search();
    EXPECT_TRUE(records.filtered());
    EXPECT_EQ(shownCodes(), QStringList({"51  20"}));

    // Without a first term every row shows, whatever the second holds.
    boxes.first.clear();
    writeRows(jet4::syntheticOccupations(30));
    commands.search();
    EXPECT_FALSE(records.filtered());
    EXPECT_EQ(records.windowCount(), 20);
    EXPECT_EQ(records.recordCount(), 30);
}

// A file unchanged since its read answers from memory: the search texts made
// for one order serve that order again, and never another.
TEST_F(SearchCommandsTest, AReadKeptInMemoryIsSearchedInTheOrderOfEachStatement) {
    // Commands of their own: their scan reads the search texts.
    SearchCommands scanning(records, boxes);
    writeRows(occupations());
    records.setWindowSize(20);
    records.open();
    boxes.first = "kat";
    scanning.search();
    const QStringList byCode = {"4110.01", "4110.02", "7112.01", "kat.001"};
    EXPECT_EQ(shownCodes(), byCode);
    records.resort("meslek_adi", "ASC");
    EXPECT_EQ(shownCodes(), QStringList({"7112.01", "4110.01", "kat.001", "4110.02"}));
    records.resort("meslek_adi", "DESC");
    EXPECT_EQ(shownCodes(), QStringList({"4110.02", "kat.001", "4110.01", "7112.01"}));
    scanning.search();
    EXPECT_EQ(shownCodes(), QStringList({"4110.02", "kat.001", "4110.01", "7112.01"}));
    records.resort("meslek_kodu", "ASC");
    EXPECT_EQ(shownCodes(), byCode);

    // Another file under the same statement: read and searched anew.
    writeRows({{"1000.01", "Aşçı", QString()}, {"1000.02", "Katip", QString()}});
    records.resort("meslek_kodu", "ASC");
    EXPECT_EQ(shownCodes(), QStringList({"1000.02"}));
}

TEST_F(SearchCommandsTest, NewSearchEmptiesTheBoxesAndShowsEverythingInTheCurrentOrder) {
    writeRows(occupations());
    records.setWindowSize(20);
    records.open();
    records.resort("meslek_kodu", "DESC");
    boxes.first = "aşçı";
    boxes.second = "baş";
    commands.search();
    EXPECT_EQ(shownCodes(), QStringList({"5120.02"}));
    commands.newSearch();
    EXPECT_TRUE(boxes.first.isEmpty() && boxes.second.isEmpty());
    EXPECT_FALSE(records.filtered());
    EXPECT_EQ(records.windowCount(), 10);
    EXPECT_EQ(records.fieldText(OccupationRecordSet::MeslekKodu), "kat.001");
}

TEST_F(SearchCommandsTest, AndOrSwitchesSearchOnlyWhenTheTermModeChanges) {
    writeRows(occupations());
    records.open();
    boxes.first = "kat";
    EXPECT_EQ(commands.termMode(), "");
    commands.andChosen();
    EXPECT_EQ(commands.termMode(), "");
    EXPECT_EQ(states.opensAndCloses, 1);

    boxes.orMode = true;
    commands.orChosen();
    EXPECT_EQ(commands.termMode(), "ikide");
    EXPECT_EQ(states.opensAndCloses, 3);
    EXPECT_TRUE(commands.filter().criteria().orMode);
    commands.orChosen();
    EXPECT_EQ(states.opensAndCloses, 3);

    boxes.orMode = false;
    commands.andChosen();
    EXPECT_EQ(commands.termMode(), "birde");
    EXPECT_EQ(states.opensAndCloses, 5);
    EXPECT_FALSE(commands.filter().criteria().orMode);
    commands.andChosen();
    EXPECT_EQ(states.opensAndCloses, 5);
}

TEST_F(SearchCommandsTest, AutoSearchFiltersTheRowsInMemoryAsTheUserTypes) {
    writeRows(occupations());
    records.setWindowSize(20);
    records.open();
    // Typing does not read the file again.
    writeRows({{"0000.00", "Kat Yeni", QString()}});
    typeInFirstBox("k");
    EXPECT_EQ(shownCodes(), QStringList({"4110.01", "4110.02", "7112.01", "8211.01", "kat.001"}));
    typeInFirstBox("at");
    EXPECT_EQ(commands.filter().criteria().term1, "kat");
    EXPECT_EQ(shownCodes(), QStringList({"4110.01", "4110.02", "7112.01", "kat.001"}));
    EXPECT_EQ(states.opensAndCloses, 1);

    boxes.second = "otel";
    commands.autoSearch();
    EXPECT_EQ(shownCodes(), QStringList({"7112.01"}));

    // Blanks alone still filter, and match no name; emptying the box brings the whole list back.
    boxes.first = " ";
    commands.autoSearch();
    EXPECT_TRUE(records.filtered());
    EXPECT_TRUE(records.isEmpty());
    boxes.first.clear();
    commands.autoSearch();
    EXPECT_FALSE(records.filtered());
    EXPECT_EQ(records.windowCount(), 10);

    // Unchecked: typing changes nothing.
    boxes.autoSearch = false;
    typeInFirstBox("aşçı");
    EXPECT_FALSE(records.filtered());
    EXPECT_EQ(records.windowCount(), 10);
    EXPECT_EQ(tests, 5 * 10);
}

TEST_F(SearchCommandsTest, FilterKeepsTheCriteriaTakenWhenItWasSwitchedOn) {
    writeRows(occupations());
    records.setWindowSize(2);
    records.open();
    boxes.first = "kat";
    commands.search();
    EXPECT_EQ(shownCodes(), QStringList({"4110.01", "4110.02"}));

    // Typed without a command: scrolling still shows the rows of "kat".
    boxes.autoSearch = false;
    typeInFirstBox("  aşçı");
    boxes.orMode = true;
    records.moveBy(5);
    EXPECT_EQ(shownCodes(), QStringList({"7112.01", "kat.001"}));
    EXPECT_EQ(commands.filter().criteria().term1, "kat");

    // So do re-sorts and reopens; the next search takes the boxes as they stand.
    records.resort("meslek_kodu", "DESC");
    EXPECT_EQ(shownCodes(), QStringList({"kat.001", "7112.01"}));
    commands.search();
    EXPECT_EQ(commands.filter().criteria().term1, "kat  aşçı");
    EXPECT_TRUE(records.isEmpty());
}

TEST_F(SearchCommandsTest, EachSwitchTestsAboutAWindowOfRowsNotTheWholeList) {
    std::vector<jet4::OccupationRow> rows;
    for (int i = 0; i < 3000; ++i) {
        rows.push_back({QStringLiteral("%1.01").arg(i, 4, 10, QLatin1Char('0')),
                        i % 2 == 0 ? QStringLiteral("Katip") : QStringLiteral("Aşçı"), QString()});
    }
    writeRows(rows);
    records.setWindowSize(25);
    records.open();
    typeInFirstBox("kat");
    EXPECT_EQ(records.windowCount(), 25);
    EXPECT_LE(tests, 3 * 50);
    tests = 0;
    records.moveBy(30);
    EXPECT_EQ(tests, 12);

    // A term of no row costs one test of every row per switch.
    tests = 0;
    typeInFirstBox("x");
    EXPECT_EQ(tests, 3000);
    EXPECT_TRUE(records.isEmpty());
}
