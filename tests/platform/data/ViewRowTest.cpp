// Reading the rows of a dataset's view without moving its cursor.

#include "platform/data/ClientDataSet.h"
#include "platform/data/ViewRowScope.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

class ViewRowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dataSet.addFields({FieldDef::string("CODE", 4), FieldDef::of("QTY", FieldType::Integer)});
        dataSet.createDataSet();
        for (const auto& [code, qty] : {std::pair{"C", 3}, {"A", 1}, {"B", 2}}) {
            dataSet.append();
            code_().setAsString(code);
            dataSet.fieldByName("QTY").setAsInteger(qty);
            dataSet.post();
        }
        dataSet.first();
        dataSet.events.afterScroll = [this](DataSet&) { ++scrolls; };
    }

    Field& code_() const { return dataSet.fieldByName("CODE"); }

    // The codes of every row as the fields read them, "-" for a row that reads as null.
    std::string rows() const
    {
        std::string result;
        for (int row = 0; row < dataSet.viewRowCount(); ++row) {
            const ViewRowScope scope(dataSet, row);
            result += code_().isNull() ? "-" : code_().asString();
        }
        return result;
    }

    ClientDataSet dataSet{"cdsRows"};
    int scrolls = 0;
};

TEST_F(ViewRowTest, RowsFollowTheViewWithoutMovingTheCursor)
{
    dataSet.next();
    EXPECT_EQ(rows(), "CAB");
    dataSet.setIndexFieldNames("CODE");
    EXPECT_EQ(rows(), "ABC");
    EXPECT_EQ(dataSet.viewRow(), 0); // "A" stays current
    dataSet.setFilter("QTY > 1");
    dataSet.setFiltered(true);
    EXPECT_EQ(rows(), "BC");
    EXPECT_EQ(code_().asString(), "B");
    EXPECT_EQ(scrolls, 1); // the one move above
    EXPECT_EQ(dataSet.viewRowBookmark(1), dataSet.viewRowBookmark(dataSet.viewRow() + 1));
    EXPECT_TRUE(dataSet.viewRowBookmark(2).empty());
}

TEST_F(ViewRowTest, TheRecordBeingEditedOrInsertedReadsItsTypedValues)
{
    dataSet.next();
    dataSet.edit();
    code_().setAsString("X");
    EXPECT_EQ(rows(), "CXB");
    dataSet.cancel();
    dataSet.insert();
    code_().setAsString("N");
    EXPECT_EQ(dataSet.viewRowCount(), 4);
    EXPECT_EQ(dataSet.viewRow(), 1);
    EXPECT_EQ(rows(), "CNAB");
    EXPECT_TRUE(dataSet.viewRowBookmark(1).empty());
    EXPECT_EQ(code_().asString(), "N");
}

TEST_F(ViewRowTest, ScopesNestAndRestoreAndRowsOutOfRangeReadNull)
{
    Field& qty = dataSet.fieldByName("QTY");
    qty.onGetText = [](Field& field, std::string& text, bool) { text = "#" + field.asString(); };
    {
        const ViewRowScope outer(dataSet, 2);
        EXPECT_EQ(qty.displayText(), "#2");
        {
            const ViewRowScope gone(dataSet, 7);
            EXPECT_FALSE(gone.valid());
            EXPECT_TRUE(qty.isNull());
        }
        EXPECT_EQ(qty.displayText(), "#2");
    }
    EXPECT_EQ(qty.displayText(), "#3");
    dataSet.close();
    EXPECT_EQ(dataSet.viewRowCount(), 0);
    EXPECT_EQ(dataSet.viewRow(), -1);
}

} // namespace
} // namespace orvane::test
