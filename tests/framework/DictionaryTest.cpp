// The data dictionary: its dataset files refused when damaged, the field rows applied to a data
// module's datasets and bound controls, and the component rows applied through property paths.
#include "framework/DDField.h"
#include "framework/DDObject.h"

#include "controls/DBCodeCombo.h"
#include "controls/DBEdit.h"
#include "controls/DBGrid.h"
#include "framework/VozurazCD.h"
#include "framework/ZtForm.h"
#include "platform/data/DataSetFile.h"
#include "services/DictionaryFiles.h"
#include "services/LibSys.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"
#include "support/Installation.h"
#include "support/TextPacket.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

class DictionaryFileTest : public ::testing::Test {
protected:
    TestInstallation installation;
    std::filesystem::path file = installation / "DDFDENG.cds";
    DataSetFile written{textPacket({"MN002", "MN006"}, {{"TAVI52", "Order type"}, {"TAVI52", nullptr}}), 936};
};

TEST_F(DictionaryFileTest, KeepsEveryValueKindAndRefusesEveryDamage)
{
    written.packet.fields.push_back(FieldDef::of("N", FieldType::Float));
    written.packet.rows[0].values.push_back(2.5);
    written.packet.rows[1].values.push_back(Variant(7));
    writeDataSetFile(file, written);
    const DataSetFile read = readDataSetFile(file);
    EXPECT_EQ(read.codePage, 936);
    ASSERT_EQ(read.packet.rows.size(), 2U);
    EXPECT_EQ(read.packet.rows[0].values[1].toString(), "Order type");
    EXPECT_TRUE(read.packet.rows[1].values[1].isNull());
    EXPECT_EQ(read.packet.rows[0].values[2].toFloat(), 2.5);
    EXPECT_EQ(read.packet.rows[1].values[2].toInteger(), 7);

    const std::string bytes = readFile(file);
    std::string flipped = bytes;
    flipped[bytes.size() - 3] ^= 0x20;
    std::string newer = bytes;
    newer[8] = 2;
    for (const std::string& damaged :
         {bytes.substr(0, bytes.size() - 1), flipped, newer, bytes + "x", std::string("MZ"), std::string()})
        EXPECT_THROW(decodeDataSetFile(damaged, "DDFDENG.cds"), DataSetFileError);
    const std::string error =
        errorOf<DataSetFileError>([&] { decodeDataSetFile(bytes.substr(0, bytes.size() - 1), "DDFDENG.cds"); });
    EXPECT_TRUE(contains(error, "DDFDENG.cds"));
    EXPECT_TRUE(contains(error, "truncated"));
}

// A data module of one dataset, with an edit bound to TC001 on its form.
class DictionaryModule : public TdmVozuraz {
public:
    DictionaryModule()
    {
        cdsMain.addFields({FieldDef::string("TC001", 4), FieldDef::string("TC003", 8),
                           FieldDef::of("TC026", FieldType::Float), FieldDef::string("TC099", 10),
                           FieldDef::string("TC100", 10)});
        registerDataSet(cdsMain);
        dsMain.setDataSet(&cdsMain);
    }
    ClientDataSet cdsMain{"cdsMain"};
    DataSource dsMain;
};

const std::vector<std::string> fieldColumns = {"MN001", "MN002", "MN003", "MN004", "MN005",
                                               "MN006", "MN007", "MN008", "MN009"};
const std::vector<std::string> listColumns = {"MP001", "MP002", "MP003", "MP004", "MP005", "MP006"};

class DictionaryFieldsTest : public ::testing::Test {
protected:
    DictionaryFieldsTest()
    {
        edit->setObjectName(QStringLiteral("edTC001"));
        edit->setDataSource(&module.dsMain);
        edit->setDataField(QStringLiteral("tc001"));
        module.cdsMain.fieldByName("TC003").onSetText = ownSetText;
    }
    void writeFiles(const std::vector<std::vector<const char*>>& fieldRows)
    {
        saveDictionaryFile(installation / "DDFDENG.cds", textPacket(fieldColumns, fieldRows));
        saveDictionaryFile(installation / "DDFMENG.cds", textPacket(listColumns, {}));
    }
    TDDField applied() { return TDDField(installation.folder.path().string(), "ENG", "TAVI52", form, module); }
    Field& field(const char* name) { return module.cdsMain.fieldByName(name); }

    TestInstallation installation;
    DictionaryModule module;
    QWidget form;
    DBEdit* edit = new DBEdit(&form);
    int ownWrites = 0;
    Field::SetText ownSetText = [this](Field& field, std::string_view text) {
        ++ownWrites;
        field.setAsString(text);
    };
};

TEST_F(DictionaryFieldsTest, RowsOfTheObjectInAnyCaseApplyAndOthersAreIgnored)
{
    writeFiles({
        {"COPTC", "tavi52", "cdsMain", "TC001", nullptr, "Order type", nullptr, nullptr, "the order's type"},
        {"COPTC", "TAVI52", "cdsMain", "TC099", nullptr, "Hidden", "0", nullptr, nullptr},
        {"COPTC", "TAVI52", "cdsMain", "TC100", nullptr, "Wide", "25", nullptr, nullptr},
        {"COPTC", "TAVI521", "cdsMain", "TC001", nullptr, "Other object", "9", nullptr, nullptr},
        {"COPTC", "Vozuraz", "cdsMain", "TC100", nullptr, "Framework", "0", nullptr, nullptr},
        {"COPTC", "TAVI52", "cdsMain", "TC777", nullptr, "No such field", nullptr, nullptr, nullptr},
        {"COPTC", "TAVI52", "cdsGone", "TC001", nullptr, "No such dataset", nullptr, nullptr, nullptr},
    });
    field("TC001").setDisplayWidth(12);
    const TDDField dictionary = applied();
    EXPECT_EQ(field("TC001").displayLabel(), "Order type");
    EXPECT_EQ(field("TC001").displayWidth(), 0) << "a null width is 0";
    EXPECT_TRUE(field("TC001").visible());
    EXPECT_FALSE(field("TC099").visible()) << "width \"0\" hides";
    EXPECT_EQ(field("TC100").displayWidth(), 25);
    EXPECT_TRUE(field("TC100").visible());
    EXPECT_EQ(edit->toolTip(), QStringLiteral("the order's type")) << "the bound control takes the note";
    ASSERT_NE(dictionary.record("cdsMain", "TC001"), nullptr);
    EXPECT_EQ(dictionary.record("cdsMain", "TC001")->control, edit);
    EXPECT_EQ(dictionary.records().size(), 3U);
    EXPECT_TRUE(contains(folderText(alertLogFolder()), "TC777")) << "a skipped row is logged";
}

// A value list gives each item of a code combo its code: the combo still shows and writes codes.
TEST_F(DictionaryFieldsTest, DateFieldKeepsItsOwnHandlerPercentTakesItsMaskAndAValueListKeepsACodeComboOnCodes)
{
    auto* combo = new DBCodeCombo(&form);
    combo->setObjectName(QStringLiteral("cboTC100"));
    combo->setDataSource(&module.dsMain);
    combo->setDataField(QStringLiteral("TC100"));
    combo->setCodeItems({"1:one", "2:two"});
    writeFiles({
        {"COPTC", "TAVI52", "cdsMain", "TC003", "DATE", "Date", nullptr, nullptr, nullptr},
        {"COPTC", "TAVI52", "cdsMain", "TC026", "PERCENT", "Rate", nullptr, nullptr, nullptr},
        {"COPTC", "TAVI52", "cdsMain", "TC100", nullptr, "Tax", nullptr, nullptr, nullptr},
    });
    saveDictionaryFile(installation / "DDFMENG.cds",
                       textPacket(listColumns, {{"COPTC", "TAVI52", "TC100", "1", "1", "Taxed"},
                                                {"COPTC", "TAVI52", "TC100", "2", "2", "Free"}}));
    applied();
    Field& date = field("TC003");
    EXPECT_TRUE(date.onGetText && date.onValidate) << "the lacking date handlers are filled";
    EXPECT_EQ(date.editMask(), module.DateFieldEditMask());
    EXPECT_EQ(field("TC026").editMask(), module.PercentFieldEditMask());
    module.cdsMain.createDataSet();
    module.cdsMain.append();
    date.setText("20250301");
    EXPECT_EQ(ownWrites, 1) << "the field's own text-write handler stays";
    EXPECT_EQ(date.asString(), "20250301");
    field("TC100").setAsString("2");
    EXPECT_EQ(combo->currentText(), QStringLiteral("2:Free"));
    emit combo->activated(0);
    EXPECT_EQ(field("TC100").asString(), "1");
}

TEST_F(DictionaryFieldsTest, MissingOrDamagedFilesLeaveTheDesignTimeTexts)
{
    field("TC001").setDisplayLabel("design");
    writeFiles({{"COPTC", "TAVI52", "cdsMain", "TC001", nullptr, "Order type", "0", nullptr, nullptr}});
    std::filesystem::remove(installation / "DDFMENG.cds");
    EXPECT_FALSE(applied().loaded());
    EXPECT_EQ(field("TC001").displayLabel(), "design");

    writeFiles({{"COPTC", "TAVI52", "cdsMain", "TC001", nullptr, "Order type", "0", nullptr, nullptr}});
    const std::string bytes = readFile(installation / "DDFDENG.cds");
    writeFile(installation / "DDFDENG.cds", bytes.substr(0, bytes.size() / 2));
    EXPECT_FALSE(applied().loaded());
    EXPECT_EQ(field("TC001").displayLabel(), "design");
    EXPECT_TRUE(field("TC001").visible());
    EXPECT_TRUE(contains(folderText(alertLogFolder()), "refused")) << "a damaged file is logged";
}

class DictionaryObjectsTest : public ::testing::Test {
protected:
    DictionaryObjectsTest()
    {
        form.setObjectName(QStringLiteral("frmTest"));
        label->setObjectName(QStringLiteral("lblTC001"));
        grid->setObjectName(QStringLiteral("gdBody1"));
        dialog->setObjectName(QStringLiteral("frmDialog"));
        dialogLabel->setObjectName(QStringLiteral("lblTC001"));
        dialogLabel->setText(QStringLiteral("design"));
    }
    int apply(const std::vector<std::vector<const char*>>& rows)
    {
        saveDictionaryFile(installation / "DDOBJCHT.cds", textPacket(objectColumns, rows));
        return TDDObject::Apply(installation.folder.path().string(), "CHT", "Vozuraz", form);
    }

    TestInstallation installation;
    QWidget form;
    // A window of its own, made first so that its label is met first: the form's rows pass it by.
    TZtForm* dialog = new TZtForm(&form);
    QLabel* dialogLabel = new QLabel(dialog);
    QLabel* label = new QLabel(&form);
    DBGrid* grid = new DBGrid(&form);
};

// Rows take their values by the kind of the property; a row that does not fit is skipped, logged,
// and leaves the value before it and the rows after it.
TEST_F(DictionaryObjectsTest, PropertyPathsTakeValuesByTheirKindAndRowsThatDoNotFitAreSkipped)
{
    EXPECT_EQ(apply({
                  {"CHT", "VOZURAZ", "lblTC001", nullptr, "Font.Style", "[fsBold , fsItalic]"},
                  {"CHT", "vozuraz", "lblTC001", nullptr, "Caption", "Label"},
                  {"CHT", "Vozuraz", "lblTC001", nullptr, "Alignment", "[AlignRight, AlignVCenter]"},
                  {"CHT", "Vozuraz", "lblTC001", nullptr, "Font.Size", "14"},
                  {"CHT", "Vozuraz", "gdBody1", nullptr, "Color", "clRed"},
                  {"CHT", "Vozuraz", "frmTest", nullptr, "Hint", "form"},
                  {"CHT", "TAVI52", "lblTC001", nullptr, "Caption", "other object"},
                  {"CHT", "Vozuraz", "lblGone", nullptr, "Caption", "x"},
                  {"CHT", "Vozuraz", "lblTC001", nullptr, "Nothing.Caption", "x"},
                  {"CHT", "Vozuraz", "lblTC001", nullptr, "Font.Style", "fsBold"},
                  {"CHT", "Vozuraz", "lblTC001", nullptr, "Font.Size", "huge"},
                  {"CHT", "Vozuraz", "lblTC001", nullptr, "Alignment", "AlignRight"},
                  {"CHT", "Vozuraz", "gdBody1", nullptr, "Color", "clNoSuchColour"},
                  {"CHT", "Vozuraz", "gdBody1", nullptr, "ReadOnly", "maybe"},
                  {"CHT", "Vozuraz", "gdBody1", nullptr, "DataSource", "dsMain"},
                  {"CHT", "Vozuraz", "lblTC001", nullptr, "...", "x"},
                  {"CHT", "Vozuraz", "lblTC001", nullptr, "Caption", "still applied"},
                  {"CHT", "Vozuraz", "lblTC001", nullptr, "Caption", nullptr},
              }),
              7);
    EXPECT_TRUE(label->font().bold());
    EXPECT_TRUE(label->font().italic()) << "not the style of the row that does not fit";
    EXPECT_FALSE(label->font().underline());
    EXPECT_EQ(label->font().pointSize(), 14);
    EXPECT_EQ(label->text(), QStringLiteral("still applied"));
    EXPECT_EQ(label->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(grid->backgroundColor(), QColor(255, 0, 0));
    EXPECT_EQ(form.toolTip(), QStringLiteral("form"));
    EXPECT_EQ(dialogLabel->text(), QStringLiteral("design"));
    EXPECT_TRUE(contains(folderText(alertLogFolder()), "Font.Size")) << "a value that does not fit is logged";

    apply({{"CHT", "Vozuraz", "gdBody1", nullptr, "Color", "16711680"}});
    EXPECT_EQ(grid->backgroundColor(), QColor(0, 0, 255)) << "a number is blue, green, red from the high byte";
}

} // namespace
} // namespace orvane::test
