// The scan over blocks of names and codes against the filter's one-row test:
// random lists and terms, the same rows accepted and the same windows filled.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/OccupationRecordSet.h"
#include "search/SearchFilter.h"
#include "support/RecordSetWindow.h"
#include "support/TempWorkDir.h"
#include "text/FoldSearchText.h"
#include "text/RowTextBlock.h"

namespace {

// xorshift32: the same cases on every run.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    int below(int n) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return n <= 0 ? 0 : static_cast<int>(state_ % static_cast<std::uint32_t>(n));
    }
    template <class List>
    const auto& pick(const List& list) {
        return list[below(static_cast<int>(list.size()))];
    }

private:
    std::uint32_t state_;
};

// Pieces of names: the letters folding changes and those it leaves, blanks and
// tabs (trimmed at the ends, kept inside), a pair of surrogates, ÿ (0xFF in
// Latin-1, the value the blocks use as their separator byte).
const QStringList NamePieces = {"a", "A",  "k",  "K",   "t",  "ı",  "I",  "i",         "İ",
                                "ş", "Ş",  "ğ",  "Ğ",   "ü",  "Ü",  "ö",  "Ö",         "ç",
                                "Ç", "Â",  "â",  "é",   "É",  " ",  " ",  "\t",        "-",
                                "ÿ", "ka", "at", "kat", "İŞ", "çi", "ıI", "\U0001F600"};
const QStringList CodePieces = {"0", "1", "2", "3", ".", " ", "a", "A", "ı", "İ", "ÿ"};

QString randomText(Random& random, const QStringList& pieces, int maxPieces) {
    QString text;
    for (int n = random.below(maxPieces + 1); n > 0; --n) text += random.pick(pieces);
    return text;
}

QString randomSlice(Random& random, const QString& text) {
    const int from = random.below(static_cast<int>(text.size()) + 1);
    return text.mid(from, random.below(6) + 1);
}

}  // namespace

TEST(ByteScanTest, EveryKernelFindsTheFirstAndLastRunInsideTheRange) {
    using namespace byte_scan;
    for (const Kernel kernel : {Kernel::Plain, Kernel::Sse2, Kernel::Avx2, Kernel::Best}) {
        if (!available(kernel)) continue;
        Random random(7);
        for (int round = 0; round < 3000; ++round) {
            // Two letters, so that first and last bytes often agree while the
            // middle does not. The bytes after `size` hold letters too: a scan
            // that looks past its limit finds them.
            std::string data;
            const int size = random.below(100);
            for (int i = 0; i < size + int(RowTextBlock::Padding); ++i)
                data += "ab"[random.below(2)];
            std::string needle;
            for (int n = random.below(5) == 0 ? 40 : random.below(6) + 1; n > 0; --n) {
                needle += "ab"[random.below(2)];
            }
            const auto begin = std::size_t(random.below(size + 1));
            const auto end = begin + std::size_t(random.below(size - int(begin) + 1));
            std::size_t first = npos;
            std::size_t last = npos;
            for (std::size_t i = begin; i < end && i + needle.size() <= std::size_t(size); ++i) {
                if (data.compare(i, needle.size(), needle) != 0) continue;
                if (first == npos) first = i;
                last = i;
            }
            const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
            SCOPED_TRACE(testing::Message() << "kernel " << int(kernel) << " data "
                                            << data.substr(0, std::size_t(size)) << " needle "
                                            << needle << " range " << begin << ".." << end);
            ASSERT_EQ(findFirst(kernel, bytes, std::size_t(size), begin, end, needle), first);
            ASSERT_EQ(findLast(kernel, bytes, std::size_t(size), begin, end, needle), last);
        }
    }
}

TEST(ByteScanTest, ByteFormsHoldExactlyTheRunsTheTextsHold) {
    // Lone surrogates and the edges of the 1-, 2- and 3-byte forms as well.
    QStringList pieces = NamePieces;
    pieces << QString(QChar(0xD83D)) << QString(QChar(0xDE00)) << QString(QChar(0x7F))
           << QString(QChar(0x80)) << QString(QChar(0x7FF)) << QString(QChar(0x800))
           << QString(QChar(0xFFFF)) << QString(QChar(0));
    Random random(11);
    for (int round = 0; round < 5000; ++round) {
        const QString text = randomText(random, pieces, 8);
        const QString term =
            random.below(2) ? randomSlice(random, text) : randomText(random, pieces, 3);
        const std::string form = scanForm(text);
        EXPECT_EQ(containsRun(text, term),
                  !term.isEmpty() && form.find(scanForm(term)) != std::string::npos)
            << text.toStdString() << " / " << term.toStdString();
        std::string folded(foldedScanFormSize(text), '\0');
        auto* out = reinterpret_cast<unsigned char*>(folded.data());
        EXPECT_EQ(writeFoldedScanForm(text, out), out + folded.size());
        EXPECT_EQ(folded, scanForm(FoldSearchText(text)));
    }
}

// A few thousand random rows in a database; for random criteria the set is
// filtered once with the one-row test alone, once with the scan beside it.
class SearchScanTest : public ::testing::Test {
protected:
    SearchScanTest() {
        Random random(2026);
        std::vector<jet4::OccupationRow> rows;
        for (int i = 0; i < 3000; ++i) {
            jet4::OccupationRow row;
            row.code = randomText(random, CodePieces, 7);
            row.name = random.below(50) == 0 ? QString() : randomText(random, NamePieces, 12);
            rows.push_back(row);
        }
        work.writeProgramDatabase(rows);
        ConnectionSettings::applyTo(connection);
        records.setSql({ConnectionSettings::startupStatement()});
        records.setWindowSize(static_cast<int>(rows.size()));
        records.open();
        // The rows as the set orders them, for terms taken from them.
        for (int i = 0; i < records.windowCount(); ++i) {
            names << records.windowFieldText(i, OccupationRecordSet::MeslekAdi);
            codes << records.windowFieldText(i, OccupationRecordSet::MeslekKodu);
        }
    }

    QString randomTerm(Random& random) {
        const int row = random.below(static_cast<int>(names.size()));
        switch (random.below(10)) {
            case 0:
                return QString();
            case 1:
                return QStringLiteral("  ");
            case 2:  // the separator's value, as a letter and as the last unit
                return random.below(2) ? QStringLiteral("ÿ") : QString(QChar(0xFFFF));
            case 3:  // longer than any row
                return QString(300, QLatin1Char('a'));
            case 4:  // the end of one row and the start of the next, folded
                return FoldSearchText(names[row]).right(2) +
                       FoldSearchText(names[(row + 1) % names.size()]).left(2);
            case 5:
                return codes[row].right(2) + codes[(row + 1) % codes.size()].left(1);
            case 6:
                return randomSlice(random, codes[row]);
            case 7:
                return randomText(random, NamePieces, 1);
            default:
                return randomSlice(random, names[row]);
        }
    }

    // Positions in the window and the current one after each of a run of
    // moves, with the filter switched on by `install`.
    std::vector<std::vector<int>> lazyRun(const SearchFilter& filter, bool scan, int seed) {
        records.setFiltered(false);
        OccupationRecordSet::FilterScan scanner;
        if (scan) {
            scanner = [&filter](const SearchTexts& texts, int from, int step) {
                return filter.nextAccepted(texts, from, step);
            };
        }
        records.setOnFilterRecord(
            [&filter](OccupationRecordSet& set, bool& accept) {
                filter.meslekkoduQueryFilterRecord(set, accept);
            },
            scanner);
        Random random(static_cast<std::uint32_t>(seed));
        std::vector<std::vector<int>> trace;
        records.setWindowSize(5);
        records.setFiltered(true);
        for (int step = 0; step < 12; ++step) {
            switch (random.below(6)) {
                case 0:
                    records.moveBy(random.below(30) - 10);
                    break;
                case 1:
                    records.moveToRecNo(random.below(static_cast<int>(names.size())) + 1);
                    break;
                case 2:
                    records.last();
                    break;
                case 3:
                    records.setWindowSize(random.below(9) + 1);
                    break;
                case 4:
                    trace.push_back({records.atFirstRecord(), records.atLastRecord()});
                    break;
                default:
                    records.first();
                    break;
            }
            trace.push_back(windowPositions(records));
            trace.back().push_back(records.recNo());
        }
        // Then every accepted row, forward from the first and back from the last.
        records.setWindowSize(static_cast<int>(names.size()));
        records.first();
        trace.push_back(windowPositions(records));
        records.last();
        trace.push_back(windowPositions(records));
        return trace;
    }

    TempWorkDir work;
    Connection connection;
    OccupationRecordSet records{connection};
    QStringList names;
    QStringList codes;
};

TEST_F(SearchScanTest, ScanAcceptsTheRowsTheOneRowTestAcceptsAndFillsTheSameWindows) {
    ASSERT_EQ(names.size(), 3000);
    Random random(99);
    int accepting = 0;
    for (int round = 0; round < 300; ++round) {
        const SearchCriteria criteria{randomTerm(random),
                                      random.below(3) == 0 ? QString() : randomTerm(random),
                                      random.below(2) == 0};
        const SearchFilter filter(criteria);
        SCOPED_TRACE(testing::Message()
                     << "round " << round << " terms '" << criteria.term1.toStdString() << "' '"
                     << criteria.term2.toStdString() << "' " << (criteria.orMode ? "VEYA" : "VE"));
        const auto byRow = lazyRun(filter, false, round);
        const auto byScan = lazyRun(filter, true, round);
        ASSERT_EQ(byScan, byRow);
        if (!byRow.back().empty()) ++accepting;
    }
    // The terms came from the rows, so most rounds accept some rows.
    EXPECT_GT(accepting, 100);
}

// After a re-sort the texts are rearranged from those of the order before,
// not folded again: through re-sorts by either column, both ways and back,
// the scan still accepts exactly the rows the one-row test accepts.
TEST_F(SearchScanTest, ReSortsRearrangeTheTextsTheScanReads) {
    const std::pair<const char*, const char*> orders[] = {
        {"meslek_adi", "ASC"},  {"meslek_kodu", "DESC"}, {"meslek_adi", "DESC"},
        {"meslek_kodu", "ASC"}, {"ID", "DESC"},          {"meslek_adi", "ASC"}};
    Random random(7);
    for (int round = 0; round < 36; ++round) {
        const auto& [column, direction] = orders[round % std::size(orders)];
        records.resort(QLatin1String(column), QLatin1String(direction));
        const SearchFilter filter(SearchCriteria{randomTerm(random), QString(), false});
        SCOPED_TRACE(testing::Message()
                     << "round " << round << " by " << column << " " << direction << " term '"
                     << filter.criteria().term1.toStdString() << "'");
        const auto byScan = lazyRun(filter, true, round);
        const auto byRow = lazyRun(filter, false, round);
        // The filter goes with this round.
        records.setFiltered(false);
        records.setOnFilterRecord({});
        ASSERT_EQ(byScan, byRow);
    }
}
