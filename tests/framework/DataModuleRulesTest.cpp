// The data modules' rules on datasets of their own: field assignment, audit fields, the FLAG
// cycle through stamping and saving, number groups, keys, carry-over and preset values, heads
// fetched in packets as the user scrolls. The records are saved to the platform's in-memory
// provider, which checks original values as the server does.

#include "framework/ModuleOwner.h"

#include "framework/KnlBase.h"
#include "platform/data/MemoryProvider.h"
#include "platform/text/CodePage.h"
#include "services/CodeConversion.h"
#include "services/LanguageHost.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"
#include "support/Installation.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

std::vector<FieldDef> orderDefs()
{
    std::vector<FieldDef> lines{FieldDef::string("TD001", 4), FieldDef::string("TD002", 11),
                                FieldDef::string("TD003", 4), FieldDef::of("TD008", FieldType::Float),
                                FieldDef::of("FLAG", FieldType::Float)};
    std::vector<FieldDef> head = withAuditDefs(
        {FieldDef::string("TC001", 4), FieldDef::string("TC002", 11), FieldDef::of("TC029", FieldType::Float),
         FieldDef::of("TC031", FieldType::Integer), FieldDef::of("TC099", FieldType::Boolean)});
    head.push_back(FieldDef::dataSet("qryBody", std::move(lines)));
    return head;
}

PacketRow lineRow(const std::string& number, const std::string& seq, double flag)
{
    return {{"2201", number, seq, 1.0, flag}, {}};
}

PacketRow headRow(const std::string& number, double flag, std::vector<PacketRow> lines = {})
{
    return {{"2201", number, 10.0, 1, false, "PRTest50", "ZT", "", "20250101", "", "", flag, Variant()},
            {std::move(lines)}};
}

// A head-and-lines module over an in-memory provider, its owner and its brokers; and a local
// dataset with audit fields for the field helpers.
class DataModuleRulesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dataSet.addFields(withAuditDefs({FieldDef::string("NAME", 5), FieldDef::of("QTY", FieldType::Float),
                                         FieldDef::of("OK", FieldType::Boolean)}));
        dataSet.createDataSet();
        dataSet.append();
        brokers.setUserId("ZT");
        brokers.setCompanyId("PRTest50");
        brokers.setUserGroup("G01");
        attach(module, brokers, owner);
        module.setToday("20250301");
        module.SetKeyFields("TC001,TC002");
        provider->setKeyFields("", {"TC001", "TC002"});
        provider->setKeyFields("qryBody", {"TD001", "TD002", "TD003"});
    }

    void open(int packetRecords = -1)
    {
        module.cdsMain.setPacketRecords(packetRecords);
        module.cdsMain.setProvider(provider);
        module.cdsMain.open();
        module.bindLines();
    }
    double flag() const { return module.cdsMain.fieldByName("FLAG").asFloat(); }
    void editHead()
    {
        owner.mode = RecordMode::Edit;
        module.cdsMain.edit();
    }

    ModuleOwner owner;
    TBrokers brokers{owner, owner};
    HeadLinesModule module;
    std::shared_ptr<MemoryProvider> provider = std::make_shared<MemoryProvider>(orderDefs());
    ClientDataSet dataSet{"cdsFields"};
};

// Field helpers -------------------------------------------------------------------------

TEST_F(DataModuleRulesTest, SetFieldTextWritesReadOnlyFieldsWholeCharactersAndOnlyNumbersByEditText)
{
    Field& name = dataSet.fieldByName("NAME");
    Field& qty = dataSet.fieldByName("QTY");
    name.setReadOnly(true);
    qty.setReadOnly(true);
    EXPECT_TRUE(SetFieldText(&name, "AB", false));
    EXPECT_EQ(name.asString(), "AB");
    EXPECT_THROW(SetFieldText(&qty, "abc", false), ConversionError);
    EXPECT_TRUE(qty.readOnly()) << "the mark is restored even on failure";
    EXPECT_FALSE(SetFieldText(nullptr, "x", false));

    const std::string chinese = text::fromUtf8("中文", text::CodePage::Gbk);
    const text::CodePage saved = text::installationCodePage();
    text::setInstallationCodePage(text::CodePage::Gbk);
    SetFieldText(&name, "ABC" + chinese, false);
    text::setInstallationCodePage(saved);
    EXPECT_EQ(name.asString(), "ABC" + chinese.substr(0, 2)) << "a double-byte character is never split";

    std::vector<std::string> handled;
    for (Field* field : {&name, &qty})
        field->onSetText = [&](Field& f, std::string_view) { handled.push_back(f.name()); };
    SetFieldText(&name, "A", true);
    SetFieldText(&qty, "2", true);
    SetFieldText(&qty, "3", false);
    EXPECT_EQ(handled, std::vector<std::string>{"QTY"});
    EXPECT_EQ(qty.asFloat(), 3.0);
}

TEST_F(DataModuleRulesTest, AuditFieldsAreKnownByNameShownAndLabelled)
{
    for (const char* name : {"flag", "Modi_Date", "COMPANY", "usr_group"})
        EXPECT_TRUE(IsAuditField(name)) << name;
    for (const char* name : {"FLAGS", "TC001", "", "MODI"})
        EXPECT_FALSE(IsAuditField(name)) << name;

    ShowAuditFields(dataSet, false);
    EXPECT_FALSE(dataSet.fieldByName("CREATOR").visible());
    EXPECT_FALSE(dataSet.fieldByName("FLAG").readOnly());
    ShowAuditFields(dataSet, true);
    EXPECT_TRUE(dataSet.fieldByName("MODI_DATE").visible());
    EXPECT_TRUE(dataSet.fieldByName("MODI_DATE").readOnly());
    EXPECT_FALSE(dataSet.fieldByName("NAME").readOnly());

    FieldTextFormats formats;
    LabelAuditFields(dataSet, "CHS", formats);
    EXPECT_EQ(dataSet.fieldByName("CREATOR").displayLabel(), "CREATOR");
    // Traditional labels, whole in a Big5 installation too (simplified ones came out as "?入者").
    const text::CodePage saved = text::installationCodePage();
    for (const text::CodePage codePage : {text::CodePage::Gbk, text::CodePage::Big5}) {
        text::setInstallationCodePage(codePage);
        LabelAuditFields(dataSet, "cht", formats);
        EXPECT_EQ(text::localToUtf8(dataSet.fieldByName("CREATOR").displayLabel()), "錄入者");
        EXPECT_EQ(text::localToUtf8(dataSet.fieldByName("FLAG").displayLabel()), "標識");
    }
    text::setInstallationCodePage(saved);
    EXPECT_TRUE(dataSet.fieldByName("CREATE_DATE").onGetText);
    EXPECT_FALSE(dataSet.fieldByName("CREATOR").onGetText);
}

TEST_F(DataModuleRulesTest, EmptyFieldsAreFilledWithoutTheirChangeHandlers)
{
    int changes = 0;
    for (int i = 0; i < dataSet.fieldCount(); ++i)
        dataSet.field(i).onChange = [&](Field&) { ++changes; };
    FillEmptyFields(dataSet);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(dataSet.fieldByName("NAME").isNull());
    EXPECT_EQ(dataSet.fieldByName("NAME").asString(), "");
    EXPECT_FALSE(dataSet.fieldByName("QTY").isNull());
    EXPECT_EQ(dataSet.fieldByName("QTY").asFloat(), 0.0);
    EXPECT_TRUE(dataSet.fieldByName("OK").isNull());
    dataSet.fieldByName("QTY").setAsFloat(2);
    EXPECT_EQ(changes, 1) << "the handler is attached again afterwards";
}

// Number groups --------------------------------------------------------------------------

TEST_F(DataModuleRulesTest, NumberGroupsFindTheirFieldsByDataSetAndWholeNameAndFormatAndRoundThem)
{
    const struct {
        int decimals;
        const char* display;
        const char* edit;
    } cases[] = {{-1, "#,##0.#######", "##0.#######"},
                 {0, "#,##0.", "##0."},
                 {7, "#,##0.#######", "##0.#######"},
                 {40, "#,##0.#####################", "##0.#####################"}};
    for (const auto& c : cases) {
        EXPECT_EQ(numberDisplayFormat(c.decimals), c.display) << c.decimals;
        EXPECT_EQ(numberEditFormat(c.decimals), c.edit) << c.decimals;
    }

    // Fields are found by dataset and whole name; groups out of range are refused.
    NumberGroups groups;
    groups.setFields(2, " cdsMain : TC029 , TC030 ; cdsBody1:TD012");
    groups.setFields(3, "cdsBody1:TD008");
    groups.setFields(11, "cdsMain:TC041");
    EXPECT_EQ(groups.groupOf("CDSMAIN", "tc030"), 2);
    EXPECT_EQ(groups.groupOf("cdsBody1", "TD008"), 3);
    EXPECT_EQ(groups.groupOf("cdsMain", "TD008"), -1) << "the dataset must match";
    EXPECT_EQ(groups.groupOf("cdsMain", "TC02"), -1) << "part of a name is not the name";
    EXPECT_EQ(groups.decimalsFor("TC041"), 7) << "the twelfth group is searched too";
    EXPECT_EQ(groups.decimalsFor("TC999"), 0);
    groups.setFields(3, "cdsMain:TD008");
    EXPECT_EQ(groups.groupOf("cdsMain", "TD008"), 3) << "a group's new text is searched, not the answers before it";
    EXPECT_EQ(groups.groupOf("cdsBody1", "TD008"), -1);
    EXPECT_EQ(errorOf([&] { groups.fields(12); }), "Variant array index out of bounds -- FNumberFields");
    EXPECT_EQ(errorOf([&] { groups.setLength(-1, 2); }), "Variant array index out of bounds -- FNumberLength");

    // The module's groups format and round their fields, again when a group's length changes.
    provider->addRow(headRow("1", 1));
    module.setFNumberFields(2, "cdsMain:TC029;cdsBody1:TD008");
    open();
    Field& amount = module.cdsMain.fieldByName("TC029");
    EXPECT_EQ(amount.displayFormat(), "#,##0.##");
    EXPECT_EQ(amount.editFormat(), "##0.##");
    editHead();
    amount.setText("3.14159");
    EXPECT_EQ(amount.asFloat(), 3.14);
    amount.setText("  ");
    EXPECT_EQ(amount.asFloat(), 0.0);
    EXPECT_EQ(module.DecimalsForField("TD008"), 2);
    // A refusal names the field by its label; a number beyond 15 significant digits is refused, not cut.
    amount.setDisplayLabel("Amount");
    EXPECT_TRUE(contains(errorOf([&] { amount.setText("1,234.50"); }), "Field 'Amount': '1,234.50' is not a number"));
    EXPECT_TRUE(contains(errorOf([&] { amount.setText("12345678901234.56"); }), "more than 15 significant digits"));
    EXPECT_EQ(amount.asFloat(), 0.0);
    amount.setText("1234567890123.45");
    EXPECT_EQ(amount.asFloat(), 1234567890123.45);
    module.setFNumberLength(2, 0);
    amount.setText("2.5");
    EXPECT_EQ(amount.asFloat(), 3.0);
    EXPECT_EQ(amount.displayFormat(), "#,##0.");
}

// Stamping and the FLAG cycle -------------------------------------------------------------

TEST_F(DataModuleRulesTest, EditingCountsTheFlagAndSavingMakesItPositive)
{
    const struct {
        double stored;
        double stamped;
        double saved;
    } cases[] = {{0, -1, 1}, {4, -5, 5}, {998, -999, 999}, {999, 0, 0}};
    int number = 0;
    for (const auto& c : cases)
        provider->addRow(headRow(std::to_string(++number), c.stored));
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        editHead();
        EXPECT_EQ(flag(), c.stamped);
        EXPECT_EQ(module.cdsMain.fieldByName("MODIFIER").asString(), "ZT");
        EXPECT_EQ(module.cdsMain.fieldByName("MODI_DATE").asString(), "20250301");
        ASSERT_TRUE(module.SaveData(module.cdsMain));
        EXPECT_EQ(flag(), c.saved);
        module.cdsMain.next();
    }
}

TEST_F(DataModuleRulesTest, AConvertedInterfaceShowsLabelsAndTextsInItsCodePageOnce)
{
    const LanguageTables tables = LanguageTables::load(ORVANE_LANGUAGE_FILE);
    const std::string customer = text::fromUtf8("客户", text::CodePage::Gbk);
    const std::string customerBig5 = tables.gbToBig5(customer);
    ASSERT_NE(customerBig5, customer);
    provider->addRow(headRow(customer, 1));
    open();
    module.cdsMain.fieldByName("TC002").setDisplayLabel(customer);
    bool ownHandler = false;
    module.cdsMain.fieldByName("TC001").onSetText = [&](Field&, std::string_view) { ownHandler = true; };

    CodeConversion converter;
    converter.setHostObject(Variant(DispatchPtr(std::make_shared<LanguageHost>())));
    converter.setDisplayMode(ConvertMode::GbToBig5);
    module.PrepareFieldTexts(converter);
    module.ConvertFieldTexts(); // as a reopen does: nothing is converted twice

    Field& number = module.cdsMain.fieldByName("TC002");
    EXPECT_EQ(number.displayLabel(), customerBig5);
    EXPECT_EQ(number.displayText(), customerBig5) << "stored GB, shown Big5";
    editHead();
    number.setText(customerBig5);
    EXPECT_EQ(number.asString(), customer) << "typed Big5, stored GB";
    module.cdsMain.fieldByName("TC001").setText("2202");
    EXPECT_TRUE(ownHandler) << "a field's own text handler is kept";
}

TEST_F(DataModuleRulesTest, SavingMakesEveryLineFlagPositiveAndKeepsTheCurrentLine)
{
    provider->addRow(headRow("1", 3, {lineRow("1", "0001", 7), lineRow("1", "0002", 8), lineRow("1", "0003", 9)}));
    open();
    editHead();
    ClientDataSet& lines = module.cdsBody1;
    for (const double stamped : {-8.0, -9.0, -10.0}) {
        lines.edit();
        lines.fieldByName("FLAG").setAsFloat(stamped);
        lines.post();
        lines.next();
    }
    lines.append();
    lines.fieldByName("TD003").setAsString("0004");
    lines.fieldByName("FLAG").setAsFloat(-1);
    lines.setRecNo(2);
    int scrolls = 0;
    lines.events.afterScroll = [&](DataSet&) { ++scrolls; };

    ASSERT_TRUE(module.SaveData(module.cdsMain));
    EXPECT_EQ(scrolls, 0) << "the walk runs with the line events detached";
    EXPECT_EQ(lines.recNo(), 2);
    EXPECT_EQ(flag(), 4);
    std::vector<double> flags;
    for (lines.first(); !lines.eof(); lines.next())
        flags.push_back(lines.fieldByName("FLAG").asFloat());
    EXPECT_EQ(flags, (std::vector<double>{8, 9, 10, 1}));
    EXPECT_EQ(module.cdsMain.changeCount(), 0);
    EXPECT_EQ(provider->rows()[0].nested[0].size(), 4u);
}

TEST_F(DataModuleRulesTest, ARefusedSaveKeepsTheTypingIsNotCountedTwiceAndAProviderFailureIsLogged)
{
    const TestInstallation installation;

    provider->addRow(headRow("1", 4));
    open();
    provider->rows()[0].values[3] = Variant(2); // another user saved the order meanwhile
    editHead();
    module.cdsMain.fieldByName("TC029").setAsFloat(42);
    EXPECT_FALSE(module.SaveData(module.cdsMain));
    EXPECT_FALSE(module.SaveData(module.cdsMain)) << "saving again is refused again, not lost";
    ASSERT_EQ(owner.shown.size(), 2u);
    EXPECT_TRUE(contains(owner.shown[0], "changed by another user"));
    EXPECT_EQ(module.cdsMain.fieldByName("TC029").asFloat(), 42);
    EXPECT_EQ(module.cdsMain.changeCount(), 1);
    std::string logText = folderText(installation.folder.path());
    EXPECT_TRUE(contains(logText, "Context :"));
    EXPECT_TRUE(contains(logText, "PreviousError :0"));

    module.cdsMain.edit();
    EXPECT_EQ(flag(), 5) << "the pending change was stamped already";
    module.cdsMain.post();
    provider->rows()[0].values[3] = Variant(1);
    ASSERT_TRUE(module.SaveData(module.cdsMain));
    EXPECT_EQ(flag(), 5);
    EXPECT_EQ(provider->rows()[0].values[2], Variant(42.0));

    provider->setFailureHook(
        [](const DeltaRecord&) -> std::optional<std::string> { throw std::runtime_error("the provider broke"); });
    editHead();
    EXPECT_THROW(module.SaveData(module.cdsMain), std::runtime_error);
    logText = folderText(installation.folder.path());
    EXPECT_TRUE(contains(logText, "Alert_Class knlVozuraz-311_"));
    EXPECT_TRUE(contains(logText, "the provider broke"));
}

// Keys, numbers, carry-over ----------------------------------------------------------------

TEST_F(DataModuleRulesTest, KeysAreUpperCaseTheirConditionQuotesTextAndTheAutoNumberTakesTheLastKey)
{
    provider->addRow(headRow("25'01", 1));
    open();
    std::string condition;
    EXPECT_TRUE(module.KeyCondition(condition));
    EXPECT_EQ(condition, "TC001 = '2201' and TC002 = '25''01'");
    module.setTableAlias("A");
    module.SetKeyFields("Tc001,tC031");
    EXPECT_EQ(module.KeyFields(), "TC001,TC031") << "kept in upper case";
    EXPECT_TRUE(module.KeyCondition(condition));
    EXPECT_EQ(condition, "A.TC001 = '2201' and A.TC031 = 1");

    // The automatic number takes the last key, which is no longer required.
    module.SetKeyFields("TC001,TC002");
    module.cdsMain.fieldByName("TC002").setRequired(true);
    module.SetAutoNumber(true);
    EXPECT_EQ(module.AutoNumberField(), "TC002");
    EXPECT_FALSE(module.cdsMain.fieldByName("TC002").required());
    owner.mode = RecordMode::Add;
    owner.number = "2503010001";
    EXPECT_TRUE(module.KeyCondition(condition));
    EXPECT_EQ(condition, "A.TC001 = '2201' and A.TC002 = '2503010001'");
    module.cdsMain.edit();
    EXPECT_FALSE(module.KeyCondition(condition)) << "only while browsing";
    module.cdsMain.cancel();
    module.RememberKeyValues();
    EXPECT_EQ(module.KeyValues(), (std::vector<std::string>{"2201", "25'01"}));

    module.cdsMain.append();
    EXPECT_FALSE(module.AutoNumber()) << "new head defaults switch the flag off";
    EXPECT_EQ(module.AutoNumberField(), "TC002") << "and keep the field";
    module.cdsMain.cancel();
    module.SetAutoNumber(true);
    module.SetAutoNumber(false);
    std::string field = "x";
    module.GetAutoNumberField(field);
    EXPECT_EQ(field, "");
}

TEST_F(DataModuleRulesTest, CarriedAndPresetValuesFillTheNextNewHead)
{
    open();
    module.SetCarryOverFields("TC001, TC029,NOPE");
    Variant presets = Variant::createArray({0, 1}, {0, 1});
    presets.at(0, 0) = "TC002";
    presets.at(0, 1) = "2503019999";
    presets.at(1, 0) = "MISSING";
    presets.at(1, 1) = "x";
    module.setPresetValues(presets);

    owner.mode = RecordMode::Add;
    module.cdsMain.append();
    module.cdsMain.fieldByName("TC001").setAsString("2202");
    module.cdsMain.fieldByName("TC029").setAsFloat(12.5);
    ASSERT_TRUE(module.SaveData(module.cdsMain));

    module.cdsMain.append();
    EXPECT_EQ(module.cdsMain.fieldByName("TC001").asString(), "2202");
    EXPECT_EQ(module.cdsMain.fieldByName("TC029").asFloat(), 12.5);
    EXPECT_EQ(module.cdsMain.fieldByName("TC002").asString(), "2503019999");
    module.cdsMain.cancel();

    module.ResetCarryOverValues();
    module.cdsMain.append();
    EXPECT_EQ(module.cdsMain.fieldByName("TC001").asString(), "");
}

TEST_F(DataModuleRulesTest, HeadsComeInPacketsAsTheUserScrollsOrAllAtOnce)
{
    for (int i = 1; i <= 5; ++i)
        provider->addRow(headRow(std::to_string(i), 1));
    open(2);
    owner.recordChanges.clear();
    module.cdsMain.last();
    EXPECT_EQ(module.cdsMain.recordCount(), 2);
    module.cdsMain.next();
    EXPECT_EQ(module.cdsMain.recordCount(), 4);
    EXPECT_EQ(module.cdsMain.recNo(), 3);
    EXPECT_EQ(owner.recordChanges, (std::vector<std::string>{"cdsMain", "cdsMain"}))
        << "moved to the last record, moved into the next packet";
    EXPECT_TRUE(module.dsMain.enabled()) << "controls are notified again after the fetch";

    module.FetchAllRecords(module.cdsMain);
    EXPECT_EQ(module.cdsMain.recordCount(), 5);
    EXPECT_EQ(module.cdsMain.recNo(), 1);
}

TEST_F(DataModuleRulesTest, ReopeningSendsTheConditionWithAllMeaningNone)
{
    for (int i = 1; i <= 3; ++i)
        provider->addRow(headRow(std::to_string(i), 1));
    open();
    module.OpenDataSet(module.cdsMain, "1=2", module.KeyFields());
    EXPECT_EQ(module.cdsMain.recordCount(), 0);
    EXPECT_TRUE(module.cdsBody1.active());
    module.OpenDataSet(module.cdsMain, " all ", "TC002 desc");
    EXPECT_EQ(module.cdsMain.params(), Variant::arrayOf({"", "TC002 desc"}));
    EXPECT_EQ(module.cdsMain.recordCount(), 3);
    EXPECT_EQ(module.cdsMain.fieldByName("TC002").asString(), "3");
    EXPECT_EQ(owner.busyCalls, (std::vector<bool>{true, false, true, false}));
}

TEST_F(DataModuleRulesTest, ComboDisplayTextTheItemOfTheCodeWinsOverAnItemMerelyContainingIt)
{
    class Grid : public GridComboItems {
    public:
        const std::vector<std::string>* comboItems(std::string_view field) const override
        {
            return field == "TC016" ? &items : nullptr;
        }
        std::vector<std::string> items{"10:Ten\t10", "1:One\t1", "2:Two\t2"};
    } grid;
    TdmSingle module;
    std::string text;
    for (const auto& [field, code, shown] :
         {std::tuple{"TC016", "1", "1:One"}, {"TC016", "Tw", "2:Two"}, {"TC016", "9", "9"}, {"TC019", "1", "1"}}) {
        module.ComboDisplayText(grid, field, code, text);
        EXPECT_EQ(text, shown) << field << " " << code;
    }
}

} // namespace
} // namespace orvane::test
