#include <gtest/gtest.h>

#include "data/FieldBinding.h"
#include "data/ResultSet.h"
#include "exceptions/Exceptions.h"

namespace {

RawTable threeRows() {
    RawTable table;
    table.columns.push_back({"ID", 4, true, 4, FieldKind::AutoInc});
    table.columns.push_back({"meslek_kodu", 10, false, 30, FieldKind::WideString});
    for (const char* text : {"1", "b", "2", "c", "3", "a"}) table.appendCell(QString(text));
    return table;
}

}  // namespace

TEST(ResultSetTest, CursorWalksTheStatementOrderBetweenBeginAndEnd) {
    ResultSet result(threeRows(), {2, 0, 1});
    EXPECT_EQ(result.recordCount(), 3);
    EXPECT_EQ(result.absolutePosition(), 1);
    EXPECT_EQ(result.value(1), "a");

    result.movePrevious();
    EXPECT_TRUE(result.bof());
    EXPECT_EQ(result.absolutePosition(), -1);
    EXPECT_TRUE(result.value(1).isNull());
    result.moveNext();
    EXPECT_EQ(result.value(0), "3");

    result.moveLast();
    EXPECT_EQ(result.value(1), "c");
    const ResultSet::Bookmark last = result.bookmark();
    result.moveNext();
    EXPECT_TRUE(result.eof());
    result.moveNext();
    EXPECT_TRUE(result.eof());
    result.movePrevious();
    EXPECT_EQ(result.absolutePosition(), 3);

    result.moveFirst();
    EXPECT_TRUE(result.moveToBookmark(last));
    EXPECT_EQ(result.value(1), "c");
    EXPECT_FALSE(result.moveToBookmark(0));
    EXPECT_FALSE(result.moveToBookmark(4));
    EXPECT_EQ(result.absolutePosition(), 3);
    EXPECT_EQ(result.valueAt(2, 1), "b");
    EXPECT_TRUE(result.valueAt(9, 1).isNull());
}

TEST(ResultSetTest, EmptyResultStandsAtBeginAndEnd) {
    RawTable table;
    table.columns = threeRows().columns;
    ResultSet result(std::move(table), {});
    EXPECT_EQ(result.recordCount(), 0);
    EXPECT_TRUE(result.bof());
    EXPECT_TRUE(result.eof());
    result.moveNext();
    result.moveFirst();
    EXPECT_TRUE(result.eof());
    EXPECT_EQ(result.absolutePosition(), -1);
}

namespace {

std::vector<RawColumn> occupationColumns() {
    return {{"ID", 4, true, 4, FieldKind::AutoInc},
            {"meslek_kodu", 10, false, 30, FieldKind::WideString},
            {"meslek_adi", 10, false, 510, FieldKind::WideString},
            {"meslek_ana", 10, false, 510, FieldKind::WideString}};
}

QString bindingFailure(const std::vector<RawColumn>& columns) {
    try {
        bindFields(columns, occupationFields(), "meslekkoduQuery");
    } catch (const EDatabaseError& e) {
        return e.message();
    }
    return QString();
}

}  // namespace

TEST(FieldBindingTest, BindsByNameWhateverTheColumnOrderCaseAndSize) {
    std::vector<RawColumn> columns = occupationColumns();
    std::swap(columns[0], columns[3]);
    columns[1].name = "MESLEK_KODU";
    columns[1].size = 2;
    columns.push_back({"extra", 12, false, 0, FieldKind::WideMemo});
    columns[0].kind = FieldKind::String;
    EXPECT_EQ(bindFields(columns, occupationFields(), "meslekkoduQuery"),
              (std::vector<int>{3, 1, 2, 0}));

    for (FieldKind integer : {FieldKind::Integer, FieldKind::SmallInt, FieldKind::Word}) {
        columns[3].kind = integer;
        EXPECT_NO_THROW(bindFields(columns, occupationFields(), "meslekkoduQuery"));
    }
}

TEST(FieldBindingTest, MissingOrUnfittingColumnsFailWithTheFieldsName) {
    std::vector<RawColumn> columns = occupationColumns();
    columns.erase(columns.begin() + 2);
    EXPECT_EQ(bindingFailure(columns), "meslekkoduQuery: Field 'Meslek Adı' not found");

    columns = occupationColumns();
    columns.erase(columns.begin());
    EXPECT_EQ(bindingFailure(columns), "meslekkoduQuery: Field 'ID' not found");

    columns = occupationColumns();
    columns[1].kind = FieldKind::Integer;
    EXPECT_EQ(bindingFailure(columns),
              "meslekkoduQuery: Type mismatch for field 'Meslek Kodu', expecting: WideString "
              "actual: Integer");

    columns = occupationColumns();
    columns[3].kind = FieldKind::WideMemo;
    EXPECT_EQ(bindingFailure(columns),
              "meslekkoduQuery: Type mismatch for field 'meslek_ana', expecting: WideString "
              "actual: WideMemo");

    columns = occupationColumns();
    columns[0].kind = FieldKind::WideString;
    EXPECT_EQ(bindingFailure(columns),
              "meslekkoduQuery: Type mismatch for field 'ID', expecting: AutoInc actual: "
              "WideString");

    columns = occupationColumns();
    columns[0].kind = FieldKind::Float;
    EXPECT_FALSE(bindingFailure(columns).isEmpty());
}
