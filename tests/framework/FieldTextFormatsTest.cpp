// The field handlers on a real client dataset: what typed text stores, what the fields show,
// which coded message a refused value gives, that a refusal keeps the old value, and that the
// checks stay silent while the dataset is browsing.

#include "framework/FieldTextFormats.h"
#include "framework/ModuleOwner.h"

#include "platform/data/ClientDataSet.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/ByteText.h"
#include "platform/text/DateText.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

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
        formats.setMessageService(&owner);
    }

    // Attaches the handlers of one kind to a field.
    Field& attach(std::string_view name, FieldTextFormats::SetTextHandler setText,
                  FieldTextFormats::GetTextHandler getText = nullptr, FieldTextFormats::ValidateHandler check = nullptr)
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
        owner.messages.clear();
        EXPECT_THROW(field.setText(typed), SilentAbort) << typed;
        EXPECT_EQ(owner.messageCodes(), std::vector<std::string>{message}) << typed;
        EXPECT_EQ(field.asString(), before) << typed;
    }

    ClientDataSet dataSet{"cdsMain"};
    ModuleOwner owner;
    FieldTextFormats formats;
};

using F = FieldTextFormats;

// Each text kind: what typed text stores and shows, what is refused with which message, the
// blank mask text that clears the field, and a stored value no check lets through. Three-digit
// parts would be cut to fit the field and pass as another value, so they are refused too.
struct KindCase {
    const char* field;
    F::SetTextHandler setText;
    F::GetTextHandler getText;
    F::ValidateHandler check;
    const char *typed, *stored, *shown;
    std::vector<const char*> refused; // typed texts refused with the message
    const char *message, *blank, *invalidStored;
};

const KindCase kinds[] = {
    {"TDATE",
     &F::DateFieldSetText,
     &F::DateFieldGetText,
     &F::DateFieldValidate,
     "2024/5/6",
     "20240506",
     "2024/05/06",
     {"2024/13/01", "2024/123/1", "24  /05/06", "2024/00/01", "2024/05/  "},
     "E000005",
     "    /  /  ",
     "20241399"},
    {"TYM",
     &F::YMFieldSetText,
     &F::YMFieldGetText,
     &F::YMFieldValidate,
     "2024/5",
     "202405",
     "2024/05",
     {"2024/13", "2024/123", "24/05", "2024/  ", "    /05", "20 4/05"},
     "E100002",
     "    /  ",
     "202413"},
    {"TMD",
     &F::MDFieldSetText,
     &F::MDFieldGetText,
     &F::MDFieldValidate,
     "3/1",
     "0301",
     "03/01",
     {"2/29", "123/1"},
     "E000005",
     "  /  ",
     "0230"},
    {"TTIME",
     &F::TimeFieldSetText,
     &F::TimeFieldGetText,
     &F::TimeFieldValidate,
     "9:5",
     "0905",
     "09:05",
     {"24:00", "123:5", "  :30", "09:  "},
     "E100187",
     "  :  ",
     "2400"},
    {"TDD", &F::DayFieldSetText, nullptr, &F::DayFieldValidate, "5", "05", "05", {"32", "123"}, "E000005", "  ", "40"},
    {"TMM", &F::MonthFieldSetText, nullptr, &F::MonthFieldValidate, "12", "12", "12", {"13"}, "E100002", " ", "13"},
};

TEST_F(FieldTextFormatsTest, EachKindStoresShowsRefusesAndClears)
{
    formats.setCurrentYear([] { return 2023; });
    for (const KindCase& c : kinds) {
        SCOPED_TRACE(c.field);
        Field& field = attach(c.field, c.setText, c.getText, c.check);
        field.setText(c.typed);
        EXPECT_EQ(field.asString(), c.stored);
        EXPECT_EQ(field.displayText(), c.shown);
        for (const char* typed : c.refused)
            expectRefused(field, typed, c.message);
        field.setText(c.blank);
        // A blank period stores empty text; every other kind clears to null.
        EXPECT_EQ(field.isNull(), std::string_view(c.field) != "TYM");
        EXPECT_EQ(field.asString(), "");
        EXPECT_EQ(field.displayText(), "");
    }
    EXPECT_EQ(owner.messages.back().second, "") << "the refused value is no argument";
}

TEST_F(FieldTextFormatsTest, DatesAndYearsFollowTheStyleAndSeparator)
{
    Field& year = attach("TYEAR", &FieldTextFormats::YearFieldSetText, &FieldTextFormats::YearFieldGetText);
    year.setText("2024");
    expectRefused(year, "24  ", "E000005"); // a year cut short, not year 0024
    expectRefused(year, "20 4", "E000005"); // a digit deleted, not year 0000
    Field& date = attach("TDATE", &FieldTextFormats::DateFieldSetText, &FieldTextFormats::DateFieldGetText);
    formats.setDateStyle(4);
    formats.setDateSeparator(".");
    date.setText("113.2.29");
    EXPECT_EQ(date.asString(), "20240229");
    EXPECT_EQ(date.displayText(), "113.02.29");
    year.setText("113");
    EXPECT_EQ(year.asString(), "2024");
    EXPECT_EQ(year.displayText(), "113");
    year.setText("24"); // era years are short by nature
    EXPECT_EQ(year.asString(), "1935");
    expectRefused(year, "1 3", "E000005");
    year.setText("99999");
    EXPECT_TRUE(year.isNull());

    EXPECT_EQ(formats.DateFieldEditMask(), "999.99.99;1; ");
    EXPECT_EQ(formats.YMFieldEditMask(), "999.99;1; ");

    // An unknown style is style 1 for showing and typing alike: what is shown types back (a
    // year-month shown under style 7 used to be erased when typed again).
    formats.setDateStyle(7);
    formats.setDateSeparator("/");
    EXPECT_EQ(formats.DateStyle(), 1);
    Field& period = attach("TYM", &FieldTextFormats::YMFieldSetText, &FieldTextFormats::YMFieldGetText);
    period.setAsString("202405");
    period.setText(period.displayText());
    EXPECT_EQ(period.asString(), "202405");
}

TEST_F(FieldTextFormatsTest,
       AnUnsetDateShowsNothingNativeOnesRollOverOrRefuseWhatIsNoDateAndMonthDaysFollowTheCurrentYear)
{
    Field& date = attach("TDATE", &FieldTextFormats::DateFieldSetText, &FieldTextFormats::DateFieldGetText);
    date.setAsString("00000000");
    EXPECT_EQ(date.displayText(), "");
    Field& md = attach("TMD", &FieldTextFormats::MDFieldSetText, nullptr, &FieldTextFormats::MDFieldValidate);
    formats.setCurrentYear([] { return 2024; });
    md.setText("2/29");
    EXPECT_EQ(md.asString(), "0229");

    Field& day = attach("TDAY", &FieldTextFormats::DateFieldSetText, &FieldTextFormats::DateFieldGetText,
                        &FieldTextFormats::DateFieldValidate);
    day.setText("2024/02/30");
    EXPECT_EQ(day.asFloat(), text::encodeDate(2024, 3, 1));
    EXPECT_EQ(day.displayText(), "2024/03/01");
    EXPECT_TRUE(owner.messages.empty());
    // Text that is no date (before the toolkit's day 0 too) is refused, not taken as an empty date.
    for (const char* typed : {"2024/13/01", "2024/05/  ", "1800/1/1"})
        expectRefused(day, typed, "E000005");
    formats.setDateStyle(3);
    expectRefused(day, "06/05/24", "E000005"); // a year cut short (era years of style 4 are short by nature)
    day.setText("  /  /    ");
    EXPECT_TRUE(day.isNull());
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
    const std::string error = errorOf([&] { rate.setText("abc%"); });
    EXPECT_TRUE(contains(error, "Tax rate"));
    EXPECT_TRUE(contains(error, "abc%"));
    EXPECT_DOUBLE_EQ(rate.asFloat(), 0.055);
    rate.setText("   .  %");
    EXPECT_TRUE(rate.isNull());
    EXPECT_EQ(rate.displayText(), "");
}

TEST_F(FieldTextFormatsTest, ChecksAreSilentWhileBrowsingAndAbortSilentlyWithoutAMessageService)
{
    // Values stored while no check was attached.
    for (const KindCase& c : kinds)
        dataSet.fieldByName(c.field).setAsString(c.invalidStored);
    dataSet.post();
    ASSERT_EQ(dataSet.state(), DataSetState::Browse);
    for (const KindCase& c : kinds)
        EXPECT_NO_THROW((formats.*c.check)(dataSet.fieldByName(c.field))) << c.field;
    EXPECT_TRUE(owner.messages.empty());

    dataSet.edit();
    EXPECT_THROW(formats.DateFieldValidate(dataSet.fieldByName("TDATE")), SilentAbort);
    EXPECT_EQ(owner.messageCodes(), std::vector<std::string>{"E000005"});

    formats.setMessageService(nullptr);
    Field& time = attach("TTIME", &FieldTextFormats::TimeFieldSetText, nullptr, &FieldTextFormats::TimeFieldValidate);
    EXPECT_THROW(time.setText("25:00"), SilentAbort);
    EXPECT_EQ(time.asString(), "2400") << "the stored value stays";
    EXPECT_EQ(owner.messages.size(), 1u);
}

TEST_F(FieldTextFormatsTest, CodesWithoutBrokersPassThroughTheInterfaceConversion)
{
    formats.setTextConversion({[](const Variant& v) { return Variant(text::upperCase(v.toString())); },
                               [](const Variant& v) { return Variant(text::lowerCase(v.toString())); }});
    int focused = 0;
    formats.setFocusReturn([&](Field&) { ++focused; });
    Field& code = attach("TNAME", &FieldTextFormats::CustomerFieldSetText);
    code.setText("C00");
    EXPECT_EQ(code.asString(), "c00");
    EXPECT_EQ(focused, 0);
}

} // namespace
} // namespace orvane::test
