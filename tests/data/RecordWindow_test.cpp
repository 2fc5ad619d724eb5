#include <gtest/gtest.h>

#include <set>

#include "data/RecordWindow.h"

namespace {

// A window over `rows` rows of which `shown` show, counting the fetches; the
// next `failing` fetches fail.
class WindowTest : public ::testing::Test {
protected:
    void over(int rows, std::set<int> shownRows) {
        shown = std::move(shownRows);
        window.setFiltering(true);
        window.reset(rows);
        total = rows;
    }

    RecordWindow::Fetched fetch(int from, int step) {
        ++fetches;
        if (failing > 0) {
            --failing;
            return {0, true};
        }
        for (int position = from + step; position >= 1 && position <= total; position += step) {
            if (shown.count(position)) return {position};
        }
        return {};
    }

    std::vector<int> positions() const {
        std::vector<int> rows;
        for (int i = 0; i < window.count(); ++i) rows.push_back(window.positionAt(i));
        return rows;
    }

    std::set<int> shown;
    int total = 0;
    int fetches = 0;
    int failing = 0;
    RecordWindow window{[this](int from, int step) { return fetch(from, step); }};
};

}  // namespace

// The grid asks for the ends on every move; once a fill has met an end, the
// answer costs no fetch until the window is told to forget.
TEST_F(WindowTest, EndsMetByAFillAreKnownWithoutAnotherFetch) {
    over(20, {3, 5, 8, 13});
    window.resize(6);
    window.fillFromStart();
    EXPECT_EQ(positions(), std::vector<int>({3, 5, 8, 13}));
    const int fetched = fetches;
    window.select(3);
    EXPECT_TRUE(window.atLast());
    window.select(0);
    EXPECT_TRUE(window.atFirst());
    EXPECT_EQ(fetches, fetched);

    window.forgetEdges();
    EXPECT_TRUE(window.atFirst());
    EXPECT_EQ(fetches, fetched + 1);
    EXPECT_TRUE(window.atFirst());
    EXPECT_EQ(fetches, fetched + 1);

    // A smaller window in the middle is at neither end.
    window.resize(2);
    window.moveTo(6);
    EXPECT_EQ(positions(), std::vector<int>({8, 13}));
    window.select(0);
    EXPECT_FALSE(window.atFirst());
}

// A failed fetch finds nothing out: the ends stay unknown and are asked for
// again, and meanwhile the window does not claim to be at them.
TEST_F(WindowTest, AFailedFetchTeachesNothingAboutTheEnds) {
    over(20, {3, 5, 8, 13});
    window.resize(2);
    window.fillFromStart();
    EXPECT_EQ(positions(), std::vector<int>({3, 5}));

    failing = 1;
    window.fillFromEnd();
    EXPECT_TRUE(window.empty());
    EXPECT_TRUE(window.eof() && window.bof());
    window.fillFromEnd();
    EXPECT_EQ(positions(), std::vector<int>({8, 13}));
    EXPECT_EQ(window.current(), 1);
    const int fetched = fetches;
    EXPECT_TRUE(window.atLast());
    EXPECT_EQ(fetches, fetched);

    window.forgetEdges();
    failing = 1;
    EXPECT_FALSE(window.atLast());
    EXPECT_TRUE(window.atLast());
    EXPECT_EQ(fetches, fetched + 2);

    // Stepping past the end fetches, fails to find a row, and stays put.
    EXPECT_FALSE(window.stepForward());
    EXPECT_TRUE(window.eof());
    EXPECT_EQ(window.moveBy(-3), 3);
    EXPECT_EQ(window.currentPosition(), 3);
    EXPECT_FALSE(window.bof() || window.eof());
}

// Without the filter every row of the result shows, and the fetch (which
// would run the filter's test) is never asked.
TEST_F(WindowTest, UnfilteredEveryRowShowsWithoutAFetch) {
    over(10, {});
    window.setFiltering(false);
    window.resize(4);
    window.fillFromStart();
    EXPECT_EQ(positions(), std::vector<int>({1, 2, 3, 4}));
    EXPECT_TRUE(window.moveTo(9));
    EXPECT_EQ(positions(), std::vector<int>({7, 8, 9, 10}));
    EXPECT_EQ(window.current(), 2);
    EXPECT_FALSE(window.atLast());
    window.select(3);
    EXPECT_TRUE(window.atLast());
    window.select(0);
    EXPECT_FALSE(window.atFirst());
    EXPECT_EQ(fetches, 0);
}
