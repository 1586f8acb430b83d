// The document data module: lines nested in the head, new lines keyed and numbered (the
// placeholder key while the head is new, the real key after StampLines), fields copied from the
// head and the previous line, the line post's checks, the head put in edit by a line change,
// line sums. (A new document's lines saved through the real server: DocumentFormTest.)
#include "framework/DoubleCD.h"
#include "framework/ModuleOwner.h"

#include "platform/data/MemoryProvider.h"
#include "platform/data/SilentAbort.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

std::vector<FieldDef> documentDefs()
{
    std::vector<FieldDef> head =
        withAuditDefs({FieldDef::string("TC001", 4), FieldDef::string("TC002", 11), FieldDef::string("TC027", 1)});
    head.push_back(FieldDef::dataSet(
        "qryBody",
        withAuditDefs({FieldDef::string("TD001", 4), FieldDef::string("TD002", 11), FieldDef::string("TD003", 4),
                       FieldDef::string("TD007", 10), FieldDef::string("TD016", 1), FieldDef::string("TD021", 1),
                       FieldDef::of("TD008", FieldType::Float)})));
    return head;
}

PacketRow lineRow(const std::string& seq, const std::string& warehouse, const std::string& closed, double quantity,
                  double flag)
{
    return {{"2201", "0001", seq, warehouse, closed, "N", quantity, "PRTest50", "ZT", "", "20250101", "", "", flag},
            {}};
}

// A module that counts its line-sum decisions and can refuse lines.
class CountingModule : public TdmDouble {
public:
    LineSum LineSumFilter(std::string_view field, double& value) override
    {
        if (field == "TD008" && value > 100)
            return LineSum::Skip;
        if (field == "TD008" && value < 0) {
            value = 0;
            return LineSum::Substitute;
        }
        return LineSum::Count;
    }
    bool RejectLine() override { return rejectLines; }

    bool rejectLines = false;
};

class DoubleCDTest : public ::testing::Test, public DocumentLinesOwner {
protected:
    void SetUp() override
    {
        brokers.setUserId("ZT");
        brokers.setCompanyId("PRTest50");
        attach(module, brokers, owner);
        module.setLinesOwner(this);
        module.setToday("20250301");
        module.SetKeyFields("TC001,TC002");
        module.SetLineKeyFields("td001, td002, td003");
        provider->setKeyFields("", {"TC001", "TC002"});
        provider->setKeyFields("qryBody", {"TD001", "TD002", "TD003"});
        provider->addRow({{"2201", "0001", "N", "PRTest50", "ZT", "", "20250101", "", "", 1.0, Variant()},
                          {{lineRow("0001", "W01", "N", 2.5, 3), lineRow("0003", "W02", "Y", 1.7, 1),
                            lineRow("00x", "W03", "N", -4, 2)}}});
        module.cdsMain.setProvider(provider);
        module.cdsMain.open();
        module.bindLines();
        module.OpenAllDataSets();
    }

    void LineDataChange(Field*) override { ++lineChanges; }
    void NewLineStarted() override { ++newLines; }

    std::string line(const char* field) { return module.cdsBody1.fieldByName(field).asString(); }

    ModuleOwner owner;
    TBrokers brokers{owner, owner};
    CountingModule module;
    std::shared_ptr<MemoryProvider> provider = std::make_shared<MemoryProvider>(documentDefs());
    int lineChanges = 0;
    int newLines = 0;
};

TEST_F(DoubleCDTest, NewDocumentLinesHoldThePlaceholderUntilStampLines)
{
    owner.mode = RecordMode::Add; // the form's add command, the keys typed
    module.cdsMain.append();
    module.cdsMain.fieldByName("TC001").setAsString("2201");
    module.cdsMain.fieldByName("TC002").setAsString("0099");
    for (const char* warehouse : {"W01", "W02"}) {
        module.cdsBody1.append();
        EXPECT_EQ(line("TD001"), "~~~~");
        EXPECT_EQ(line("TD002"), "~~~~~~~~~~~") << "the placeholder, cut to the field";
        module.cdsBody1.fieldByName("TD007").setAsString(warehouse);
        module.cdsBody1.post();
    }
    EXPECT_EQ(newLines, 2);

    module.StampLines();
    for (module.cdsBody1.first(); !module.cdsBody1.eof(); module.cdsBody1.next()) {
        EXPECT_EQ(line("TD001"), "2201");
        EXPECT_EQ(line("TD002"), "0099");
    }
    EXPECT_EQ(module.cdsBody1.indexFieldNames(), "") << "the order comes back";
}

TEST_F(DoubleCDTest, AnEditedHeadsNewLineTakesItsKeysTheLastLinesCopyFieldsAndTheNextNumberAfterDeletesEditsAndUndo)
{
    module.SetLineCopyFields("TD007,TD016");
    module.SetHeadToLineFields("TC027->TD021");
    owner.mode = RecordMode::Edit;
    module.cdsMain.edit();
    module.cdsMain.fieldByName("TC027").setAsString("Y");
    ClientDataSet& lines = module.cdsBody1;
    lines.append();
    EXPECT_EQ(line("TD001"), "2201");
    EXPECT_EQ(line("TD002"), "0001");
    EXPECT_EQ(line("TD003"), "0004") << "after the highest number; text that is no number counts 0";
    EXPECT_EQ(line("TD007"), "W03") << "from the last line";
    EXPECT_EQ(line("TD016"), "N");
    EXPECT_EQ(line("TD021"), "Y") << "kept equal to the head";
    EXPECT_EQ(line("CREATOR"), "ZT") << "stamped as a new record";
    lines.post();

    const auto newLine = [&] {
        lines.append();
        const std::string number = line("TD003");
        lines.post();
        return number;
    };
    EXPECT_EQ(newLine(), "0005") << "the line posted on top counts";
    lines.last();
    lines.deleteRecord();
    EXPECT_EQ(newLine(), "0005") << "the deleted highest number is free again";
    lines.first();
    lines.edit();
    lines.fieldByName("TD003").setAsString("0009");
    lines.post();
    EXPECT_EQ(newLine(), "0010") << "an edited number counts";
    lines.cancelUpdates();
    EXPECT_EQ(newLine(), "0004") << "undone: the stored lines only";
}

TEST_F(DoubleCDTest, ANewLineNeedsAHeadBeingEditedAndLinePostsAreCheckedAndMarkTheDocumentChanged)
{
    module.cdsBody1.append();
    EXPECT_EQ(module.cdsBody1.state(), DataSetState::Browse) << "cancelled silently while the head browses";
    EXPECT_EQ(module.cdsBody1.recordCount(), 3);
    EXPECT_EQ(newLines, 0);

    module.cdsBody1.edit();
    module.cdsBody1.fieldByName("TD008").setAsFloat(9);
    owner.valid = false;
    EXPECT_THROW(module.cdsBody1.post(), SilentAbort);
    owner.valid = true;
    module.rejectLines = true;
    EXPECT_THROW(module.cdsBody1.post(), SilentAbort);
    module.rejectLines = false;
    module.cdsBody1.post();
    EXPECT_EQ(module.cdsMain.state(), DataSetState::Edit) << "a changed line puts the head into edit";
    EXPECT_GT(lineChanges, 0);

    module.cdsMain.cancel();
    module.setAutoRecalc(false);
    module.cdsBody1.edit();
    module.cdsBody1.post();
    EXPECT_EQ(module.cdsMain.state(), DataSetState::Browse);
}

TEST_F(DoubleCDTest, LineSumsRoundFilterAndLetTheModuleSkipOrSubstitute)
{
    module.cdsBody1.setRecNo(2);
    struct Case {
        int rounding;
        const char* filter;
        double sum;
    };
    // Quantities 2.5, 1.7 and -4 (substituted by 0); "%10.0f" rounds 2.5 away from zero.
    for (const Case& c : {Case{-1, "", 4.2}, Case{-2, "", 3.0}, Case{0, "", 5.0}, Case{-1, "TD016=N", 2.5},
                          Case{-1, "TD016=Y", 1.7}, Case{-1, "NOFIELD=Y", 4.2}})
        EXPECT_DOUBLE_EQ(module.SumLineField("TD008", c.rounding, c.filter), c.sum) << c.rounding << " " << c.filter;
    EXPECT_EQ(module.cdsBody1.recNo(), 2) << "the current line stays";

    module.cdsMain.append();
    EXPECT_EQ(module.SumLineField("TD008", -1), 0.0) << "no lines";
}

} // namespace
} // namespace orvane::test
