// Fields: events, refusals, text paths and typed conversions.

#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSetError.h"
#include "platform/data/SilentAbort.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane::test {
namespace {

class FieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dataSet.addFields({FieldDef::string("TC004", 10), FieldDef::of("TD008", FieldType::Float),
                           FieldDef::of("TD003", FieldType::Integer), FieldDef::of("TS", FieldType::SmallInt),
                           FieldDef::of("OK", FieldType::Boolean), FieldDef::of("DAY", FieldType::Date)});
        dataSet.createDataSet();
        dataSet.append();
    }

    ClientDataSet dataSet{"cdsMain"};
};

TEST_F(FieldTest, ValidateSeesTheNewValueAndChangeRunsAfterItIsKept)
{
    Field& field = dataSet.fieldByName("TD008");
    std::vector<std::string> calls;
    field.onValidate = [&](Field& f) { calls.push_back("validate " + f.asString()); };
    field.onChange = [&](Field& f) { calls.push_back("change " + f.asString()); };
    field.setAsFloat(2.5);
    field.setAsFloat(2.5);
    EXPECT_EQ(calls, (std::vector<std::string>{"validate 2.5", "change 2.5", "validate 2.5", "change 2.5"}));
}

TEST_F(FieldTest, RefusalByValidateKeepsTheOldValue)
{
    Field& field = dataSet.fieldByName("TC004");
    field.setAsString("C001");
    bool changed = false;
    field.onChange = [&](Field&) { changed = true; };

    field.onValidate = [](Field& f) {
        if (f.asString() == "BAD") {
            abortSilently();
        }
    };
    EXPECT_THROW(field.setAsString("BAD"), SilentAbort);
    EXPECT_EQ(field.asString(), "C001");

    field.onValidate = [](Field&) { throw std::runtime_error("no such customer"); };
    EXPECT_THROW(field.setText("C999"), std::runtime_error);
    EXPECT_EQ(field.asString(), "C001");
    EXPECT_FALSE(changed);

    Field& number = dataSet.fieldByName("TD008");
    number.onValidate = [](Field&) { abortSilently(); };
    EXPECT_THROW(number.setAsFloat(1), SilentAbort);
    EXPECT_TRUE(number.isNull());
}

TEST_F(FieldTest, ReadOnlyFieldsAndBrowseStateRefuseWrites)
{
    Field& field = dataSet.fieldByName("TD008");
    field.setReadOnly(true);
    EXPECT_EQ(errorOf<DataSetError>([&] { field.setAsFloat(1); }), "Field 'TD008' cannot be modified");
    field.setReadOnly(false);
    dataSet.fieldByName("TC004").setAsString("C1");
    dataSet.post();
    EXPECT_TRUE(
        contains(errorOf<DataSetError>([&] { field.setAsFloat(1); }), "Dataset cdsMain: not in edit or insert mode"))
        << "a browsing dataset took a value";
}

TEST_F(FieldTest, StringsAreCutAtTheFieldSizeInBytesOnAWholeCharacter)
{
    Field& field = dataSet.fieldByName("TC004");
    field.setAsString("\xB0\xA1\xB0\xA2\xB0\xA3\xB0\xA4\xB0\xA5\xB0\xA6"); // six GBK characters, 12 bytes
    EXPECT_EQ(field.asString().size(), 10U);
    field.setAsString("A\xB0\xA1\xB0\xA2\xB0\xA3\xB0\xA4\xB0\xA5"); // 11 bytes
    EXPECT_EQ(field.asString(), "A\xB0\xA1\xB0\xA2\xB0\xA3\xB0\xA4") << "no half of the fifth character";
    field.setText("ABC");
    EXPECT_EQ(field.asString(), "ABC");
}

struct TextCase {
    const char* field;
    const char* text;
    const char* stored; // asString after setText
};

TEST_F(FieldTest, SetTextConvertsByType)
{
    const TextCase cases[] = {
        {"TD008", "3.25", "3.25"},
        {"TD008", " 1e3 ", "1000"},
        {"TD008", "", ""},
        {"TD003", "42", "42"},
        {"TD003", "-7", "-7"},
        {"OK", "true", "True"},
        {"OK", "False", "False"},
        {"TS", "32767", "32767"},
        {"DAY", "2024-05-06", "2024-05-06"},
        {"DAY", "20240229", "2024-02-29"},
        {"TC004", " x ", " x "},
    };
    for (const TextCase& c : cases) {
        Field& field = dataSet.fieldByName(c.field);
        field.setText(c.text);
        EXPECT_EQ(field.asString(), c.stored) << c.field << " <- '" << c.text << "'";
    }
}

TEST_F(FieldTest, BadTextIsAConversionErrorNamingFieldAndText)
{
    const std::pair<const char*, const char*> cases[] = {
        {"TD008", "1,5"}, {"TD003", "4.5x"}, {"OK", "maybe"}, {"DAY", "2024-02-30"}, {"TD003", "abc"},
    };
    for (const auto& [name, text] : cases) {
        const std::string message = errorOf<ConversionError>([&] { dataSet.fieldByName(name).setText(text); });
        EXPECT_TRUE(contains(message, name)) << "'" << text << "'";
        EXPECT_TRUE(contains(message, text));
    }
    EXPECT_THROW(dataSet.fieldByName("TS").setAsInteger(40000), DataSetError);
}

TEST_F(FieldTest, TextHandlersAndFormatsDecideTheTexts)
{
    Field& field = dataSet.fieldByName("TD008");
    field.setAsFloat(1234.5678);
    EXPECT_EQ(field.displayText(), "1234.5678");
    field.setDisplayFormat("#,##0.##");
    field.setEditFormat("0.0");
    EXPECT_EQ(field.displayText(), "1,234.57");
    EXPECT_EQ(field.editText(), "1234.6");

    field.onGetText = [](Field& f, std::string& text, bool display) { text = (display ? "D:" : "E:") + f.asString(); };
    field.onSetText = [](Field& f, std::string_view text) { f.setAsFloat(std::stod(std::string(text)) / 100); };
    field.setText("17");
    EXPECT_DOUBLE_EQ(field.asFloat(), 0.17);
    EXPECT_EQ(field.text(), "D:0.17");
    EXPECT_EQ(field.editText(), "E:0.17");
}

TEST_F(FieldTest, TypedReadsOfNullAndOfText)
{
    Field& text = dataSet.fieldByName("TC004");
    EXPECT_TRUE(text.isNull());
    EXPECT_EQ(text.asInteger(), 0);
    EXPECT_TRUE(text.value().isNull());
    text.setAsString("12");
    EXPECT_EQ(text.asInteger(), 12);
    text.setAsString("x");
    EXPECT_THROW(text.asFloat(), ConversionError);
    text.clear();
    EXPECT_TRUE(text.isNull());
    dataSet.fieldByName("TD003").setValue(Variant(2.5));
    EXPECT_EQ(dataSet.fieldByName("TD003").asInteger(), 3);
}

TEST_F(FieldTest, RequiredFieldsMustHaveAValueToPost)
{
    dataSet.fieldByName("TC004").setRequired(true);
    EXPECT_THROW(dataSet.post(), DataSetError);
    EXPECT_EQ(dataSet.state(), DataSetState::Insert);
    dataSet.fieldByName("TC004").setAsString("");
    dataSet.post();
    EXPECT_EQ(dataSet.state(), DataSetState::Browse);
}

} // namespace
} // namespace orvane::test
