// The field handlers on a real client dataset: what typed text stores, what the fields show,
// which coded message a refused value gives, that a refusal keeps the old value, and that the
// checks stay silent while the dataset is browsing.

#include "framework/FieldTextFormats.h"

#include "TestSupport.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/ByteText.h"
#include "platform/text/DateText.h"
#include "services/Brokers.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

class RecordedMessages : public MessageCodeService {
public:
    int ShowMessageCode(std::string_view type, std::string_view code, bool, std::span<const Variant> values) override
    {
        shown.push_back(std::string(type) + std::string(code));
        arguments.assign(values.begin(), values.end());
        return 1;
    }
    std::vector<std::string> shown;
    std::vector<Variant> arguments;
};

class FieldTextFormatsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dataSet.addFields({FieldDef::string("TDATE", 8), FieldDef::of("TDAY", FieldType::Date),
                           FieldDef::string("TYM", 6), FieldDef::string("TMD", 4), FieldDef::string("TYEAR", 4),
                           FieldDef::string("TTIME", 4), FieldDef::string("TDD", 2), FieldDef::string("TMM", 2),
                           FieldDef::of("TSEC", FieldType::Integer), FieldDef::of("TRATE", FieldType::Float),
                           FieldDef::string("TNAME", 20)});
        dataSet.fieldByName("TRATE").setDisplayLabel("Tax rate");
        dataSet.createDataSet();
        dataSet.append();
        formats.setDateSeparator("/");
        formats.setMessageService(&messages);
    }

    // Attaches the handlers of one kind to a field.
    Field& attach(std::string_view name, FieldTextFormats::SetTextHandler setText,
                  FieldTextFormats::GetTextHandler getText = nullptr,
                  FieldTextFormats::ValidateHandler check = nullptr)
    {
        Field& field = dataSet.fieldByName(name);
        field.onSetText = formats.setText(setText);
        if (getText != nullptr)
            field.onGetText = formats.getText(getText);
        if (check != nullptr)
            field.onValidate = formats.validate(check);
        return field;
    }
    // Types text that must be refused with a message; the field keeps its value.
    void expectRefused(Field& field, std::string_view typed, const std::string& message)
    {
        const std::string before = field.asString();
        messages.shown.clear();
        EXPECT_THROW(field.setText(typed), SilentAbort) << typed;
        EXPECT_EQ(messages.shown, std::vector<std::string>{message}) << typed;
        EXPECT_EQ(field.asString(), before) << typed;
    }

    ClientDataSet dataSet{"cdsMain"};
    RecordedMessages messages;
    FieldTextFormats formats;
};

TEST_F(FieldTextFormatsTest, DateFieldsStoreShowClearAndRefuseImpossibleDays)
{
    Field& date = attach("TDATE", &FieldTextFormats::DateFieldSetText, &FieldTextFormats::DateFieldGetText,
                         &FieldTextFormats::DateFieldValidate);
    date.setText("2024/5/6");
    EXPECT_EQ(date.asString(), "20240506");
    EXPECT_EQ(date.displayText(), "2024/05/06");
    EXPECT_EQ(date.editText(), "2024/05/06");

    expectRefused(date, "2024/13/01", "E000005");
    EXPECT_EQ(messages.arguments, std::vector<Variant>{Variant("")});
    // A month of three digits would be cut to fit the field and pass as another day.
    expectRefused(date, "2024/123/1", "E000005");

    date.setText("    /  /  ");
    EXPECT_TRUE(date.isNull());
    EXPECT_EQ(date.displayText(), "");
    date.onValidate = nullptr;
    date.setAsString("00000000");
    EXPECT_EQ(date.displayText(), "");
}

TEST_F(FieldTextFormatsTest, DateFieldsFollowTheStyleAndSeparator)
{
    Field& date = attach("TDATE", &FieldTextFormats::DateFieldSetText, &FieldTextFormats::DateFieldGetText);
    formats.setDateStyle(4);
    formats.setDateSeparator(".");
    date.setText("113.2.29");
    EXPECT_EQ(date.asString(), "20240229");
    EXPECT_EQ(date.displayText(), "113.02.29");
    formats.setDateStyle(5);
    date.setAsString("19300101");
    EXPECT_EQ(date.displayText(), "019.01.01");
    EXPECT_EQ(formats.DateFieldEditMask(), "999.99.99;1; ");
}

TEST_F(FieldTextFormatsTest, NativeDateFieldsRollOverAndClearUnreadableText)
{
    Field& day = attach("TDAY", &FieldTextFormats::DateFieldSetText, &FieldTextFormats::DateFieldGetText,
                        &FieldTextFormats::DateFieldValidate);
    day.setText("2024/02/30");
    EXPECT_EQ(day.asFloat(), text::encodeDate(2024, 3, 1));
    EXPECT_EQ(day.displayText(), "2024/03/01");
    day.setText("2024/13/01");
    EXPECT_TRUE(day.isNull());
    day.setText("1800/1/1"); // before the toolkit's day 0: no date
    EXPECT_TRUE(day.isNull());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FieldTextFormatsTest, PeriodsMonthDaysAndYears)
{
    Field& ym = attach("TYM", &FieldTextFormats::YMFieldSetText, &FieldTextFormats::YMFieldGetText,
                       &FieldTextFormats::YMFieldValidate);
    ym.setText("2024/5");
    EXPECT_EQ(ym.asString(), "202405");
    EXPECT_EQ(ym.displayText(), "2024/05");
    expectRefused(ym, "2024/13", "E100002");
    expectRefused(ym, "2024/123", "E100002");
    ym.setText("    /  ");
    EXPECT_EQ(ym.asString(), "");

    Field& year = attach("TYEAR", &FieldTextFormats::YearFieldSetText, &FieldTextFormats::YearFieldGetText);
    formats.setDateStyle(4);
    year.setText("113");
    EXPECT_EQ(year.asString(), "2024");
    EXPECT_EQ(year.displayText(), "113");
    year.setText("99999");
    EXPECT_TRUE(year.isNull());
}

TEST_F(FieldTextFormatsTest, MonthDaysAreCheckedAgainstTheCurrentYear)
{
    Field& md = attach("TMD", &FieldTextFormats::MDFieldSetText, &FieldTextFormats::MDFieldGetText,
                       &FieldTextFormats::MDFieldValidate);
    formats.setCurrentYear([] { return 2024; });
    md.setText("2/29");
    EXPECT_EQ(md.asString(), "0229");
    EXPECT_EQ(md.displayText(), "02/29");
    formats.setCurrentYear([] { return 2023; });
    md.setText("3/1");
    expectRefused(md, "2/29", "E000005");
    expectRefused(md, "123/1", "E000005");
    md.setText("  /  ");
    EXPECT_TRUE(md.isNull());
}

TEST_F(FieldTextFormatsTest, TimesDaysAndMonths)
{
    Field& time = attach("TTIME", &FieldTextFormats::TimeFieldSetText, &FieldTextFormats::TimeFieldGetText,
                         &FieldTextFormats::TimeFieldValidate);
    time.setText("9:5");
    EXPECT_EQ(time.asString(), "0905");
    EXPECT_EQ(time.displayText(), "09:05");
    expectRefused(time, "24:00", "E100187");
    expectRefused(time, "123:5", "E100187");
    time.setText("  :  ");
    EXPECT_TRUE(time.isNull());

    Field& day = attach("TDD", &FieldTextFormats::DayFieldSetText, nullptr, &FieldTextFormats::DayFieldValidate);
    day.setText("5");
    EXPECT_EQ(day.asString(), "05");
    expectRefused(day, "32", "E000005");
    expectRefused(day, "123", "E000005");
    EXPECT_NE(test::errorOf([&] { day.setText("x"); }).find("TDD"), std::string::npos);

    Field& month = attach("TMM", &FieldTextFormats::MonthFieldSetText, nullptr, &FieldTextFormats::MonthFieldValidate);
    month.setText("12");
    EXPECT_EQ(month.asString(), "12");
    expectRefused(month, "13", "E100002");
    month.setText(" ");
    EXPECT_TRUE(month.isNull());
}

TEST_F(FieldTextFormatsTest, DurationsAndPercentages)
{
    Field& seconds = attach("TSEC", &FieldTextFormats::SecondFldSetText, &FieldTextFormats::SecondFldGetText);
    seconds.setText("0001:02:03");
    EXPECT_EQ(seconds.asInteger(), 3723);
    EXPECT_EQ(seconds.displayText(), "0001:02:03");
    expectRefused(seconds, "0001:60:00", "E100187");

    Field& rate = attach("TRATE", &FieldTextFormats::PercentFieldSetText, &FieldTextFormats::PercentFieldGetText);
    rate.setText("5.5");
    EXPECT_DOUBLE_EQ(rate.asFloat(), 0.055);
    EXPECT_EQ(rate.displayText(), "5.50%");
    rate.setText("17");
    EXPECT_DOUBLE_EQ(rate.asFloat(), 0.17);
    const std::string error = test::errorOf([&] { rate.setText("abc%"); });
    EXPECT_NE(error.find("Tax rate"), std::string::npos) << error;
    EXPECT_NE(error.find("abc%"), std::string::npos) << error;
    EXPECT_DOUBLE_EQ(rate.asFloat(), 0.17);
    rate.setText("   .  %");
    EXPECT_TRUE(rate.isNull());
    EXPECT_EQ(rate.displayText(), "");
}

TEST_F(FieldTextFormatsTest, ChecksAreSilentWhileBrowsing)
{
    // Values no check would let through, stored while no check was attached.
    const std::pair<const char*, const char*> stored[] = {{"TDATE", "20241399"}, {"TYM", "202413"}, {"TMD", "0230"},
                                                          {"TTIME", "2400"},     {"TDD", "40"},     {"TMM", "13"}};
    for (const auto& [name, value] : stored)
        dataSet.fieldByName(name).setAsString(value);
    dataSet.post();
    ASSERT_EQ(dataSet.state(), DataSetState::Browse);
    const std::pair<const char*, FieldTextFormats::ValidateHandler> checks[] = {
        {"TDATE", &FieldTextFormats::DateFieldValidate}, {"TYM", &FieldTextFormats::YMFieldValidate},
        {"TMD", &FieldTextFormats::MDFieldValidate},     {"TTIME", &FieldTextFormats::TimeFieldValidate},
        {"TDD", &FieldTextFormats::DayFieldValidate},    {"TMM", &FieldTextFormats::MonthFieldValidate}};
    for (const auto& [name, check] : checks)
        EXPECT_NO_THROW((formats.*check)(dataSet.fieldByName(name))) << name;
    EXPECT_TRUE(messages.shown.empty());

    dataSet.edit();
    EXPECT_THROW(formats.DateFieldValidate(dataSet.fieldByName("TDATE")), SilentAbort);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"E000005"});
}

TEST_F(FieldTextFormatsTest, ChecksAbortSilentlyWithoutAMessageService)
{
    formats.setMessageService(nullptr);
    Field& time = attach("TTIME", &FieldTextFormats::TimeFieldSetText, nullptr, &FieldTextFormats::TimeFieldValidate);
    EXPECT_THROW(time.setText("25:00"), SilentAbort);
    EXPECT_TRUE(time.isNull());
}

TEST_F(FieldTextFormatsTest, StringFieldsPassThroughTheInterfaceConversion)
{
    Field& name = attach("TNAME", &FieldTextFormats::DOSetText, &FieldTextFormats::DOGetText);
    name.setText("Shown");
    EXPECT_EQ(name.asString(), "Shown");
    formats.setTextConversion({[](const Variant& v) { return Variant(text::upperCase(v.toString())); },
                               [](const Variant& v) { return Variant(text::lowerCase(v.toString())); }});
    name.setText("Typed");
    EXPECT_EQ(name.asString(), "typed");
    EXPECT_EQ(name.displayText(), "TYPED");
}

TEST_F(FieldTextFormatsTest, CodeEntryWithoutBrokersStoresTheConvertedText)
{
    formats.setTextConversion({nullptr, [](const Variant& v) { return Variant(text::upperCase(v.toString())); }});
    int focused = 0;
    formats.setFocusReturn([&](Field&) { ++focused; });
    Field& code = attach("TNAME", &FieldTextFormats::CustomerFieldSetText);
    code.setText("c00");
    EXPECT_EQ(code.asString(), "C00");
    EXPECT_EQ(focused, 0);
}

TEST_F(FieldTextFormatsTest, MasksFollowTheStyleAndNumbersGroupOnlyForDisplay)
{
    formats.setDateStyle(2);
    formats.setDateSeparator("");
    EXPECT_EQ(formats.DateFieldEditMask(), "99999999;1; ");
    EXPECT_EQ(formats.YMFieldEditMask(), "999999;1; ");

    Field& amount = dataSet.fieldByName("TRATE");
    amount.setDisplayFormat(formats.NumberFieldDisplayFormat());
    amount.setEditFormat(formats.NumberFieldEditFormat());
    amount.setAsFloat(1234567.125);
    EXPECT_EQ(amount.displayText(), "1,234,567.125");
    EXPECT_EQ(amount.editText(), "1234567.125");
}

} // namespace
} // namespace orvane
