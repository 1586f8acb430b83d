// The code combo: the item of its field's code shown, a chosen item's code written back.

#include "controls/DBCodeCombo.h"
#include "ControlFixture.h"

namespace orvane::test {
namespace {

class DBCodeComboTest : public ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        combo->setDataSource(&source);
        combo->setDataField("CODE");
        combo->setCodeItems({"A1:first", "B2:second"});
    }

    Field& code() const { return dataSet.fieldByName("CODE"); }

    DBCodeCombo* combo = new DBCodeCombo(&window);
};

TEST_F(DBCodeComboTest, ShowsTheCodesItemAndWritesTheChosenCodeAlsoOnARecordInsertedIntoAnEmptyDataSet)
{
    EXPECT_EQ(combo->currentText(), "A1:first");
    dataSet.next();
    EXPECT_EQ(combo->currentText(), "B2:second");
    dataSet.next();
    EXPECT_EQ(combo->currentIndex(), -1) << "C3 is no item";

    // A new record of an empty dataset, as a new document starts: shown and chosen like any other.
    while (!dataSet.isEmpty())
        dataSet.deleteRecord();
    EXPECT_FALSE(combo->isEnabled()) << "no record";
    dataSet.append();
    code().setAsString("B2");
    EXPECT_TRUE(combo->isEnabled());
    EXPECT_EQ(combo->currentText(), "B2:second");
    emit combo->activated(0);
    EXPECT_EQ(code().asString(), "A1");
}

} // namespace
} // namespace orvane::test
