// Saving again after a lost answer: the request identifier a data module sends with each save,
// kept for the same changes and new for edited ones, and a save whose answer is lost after the
// server committed it, sent again, stored once.
#include "framework/ProgramHost.h"

namespace orvane::test {
namespace {

Delta oneChange(std::uint64_t recordId, const char* value)
{
    Delta delta;
    delta.fields = {FieldDef::string("TC004", 10)};
    delta.records.push_back({recordId, UpdateStatus::Inserted, {}, {Variant(value)}, {}});
    return delta;
}

TEST(RetrySafeSaveRequestTest, TheSameChangesKeepTheirIdentifierUntilAnswered)
{
    SaveRequest request;
    const std::string first = request.idFor(oneChange(7, "C001"));
    EXPECT_EQ(first.size(), 36u);
    EXPECT_EQ(first[14], '4') << first;
    EXPECT_EQ(request.idFor(oneChange(7, "C001")), first);
    EXPECT_EQ(request.idFor(oneChange(42, "C001")), first) << "a restored draft numbers its records anew";
    const std::string edited = request.idFor(oneChange(42, "C002"));
    EXPECT_NE(edited, first);
    request.answered();
    EXPECT_NE(request.idFor(oneChange(42, "C002")), edited);

    // A restored draft may hold the same records in another order: the same changes still.
    Delta twoChanges = oneChange(1, "C001");
    twoChanges.records.push_back({2, UpdateStatus::Inserted, {}, {Variant("C002")}, {}});
    const std::string both = request.idFor(twoChanges);
    std::swap(twoChanges.records[0], twoChanges.records[1]);
    EXPECT_EQ(request.idFor(twoChanges), both);
}

// The order program's module over the embedded server, its saves through the losing provider.
class RetrySafeSaveTest : public ModuleHostTest {
protected:
    // Saves the head with the server numbering it, as the document window does.
    bool save()
    {
        module.appServer().dispatch()->call("SetIsSeq", {Variant(-1)});
        return module.SaveData(module.cdsMain);
    }
    int ordersOf(const std::string& customerOrder)
    {
        const auto db = companyDatabase();
        return static_cast<int>(
            db->query("SELECT TC002 FROM " + db->dialect().companyTable("PRTest50", "COPTC") + " WHERE TC012 = ?",
                      {Variant(customerOrder)})
                .rows.size());
    }

    HeadLinesModule module;
};

TEST_F(RetrySafeSaveTest, ASaveWhoseAnswerWasLostIsStoredOnceWhenSentAgain)
{
    ASSERT_TRUE(connectModule(module, brokers, owner, hostObject()));
    const auto losing = std::make_shared<AnswerLosingProvider>(module.cdsMain.provider());
    module.cdsMain.setProvider(losing);
    module.bindLines();
    enterOrder(module, owner, "2503010001");
    module.cdsMain.fieldByName("TC012").setAsString("lost-answer");

    losing->loseNextAnswer = true;
    EXPECT_THROW(save(), std::exception);
    EXPECT_EQ(ordersOf("lost-answer"), 1) << "the server committed before the answer was lost";
    EXPECT_TRUE(save());
    EXPECT_EQ(ordersOf("lost-answer"), 1);
    EXPECT_FALSE(module.cdsMain.hasChanges());
}

} // namespace
} // namespace orvane::test
