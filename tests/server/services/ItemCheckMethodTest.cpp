// "ItemCheck" on the demonstration data: every answer it gives ahead is the answer of the single
// call it stands for, through the same road the client takes; the chain of questions is followed
// to its end; a refused part is left to the check; bad elements are refused by name.
#include "ServicesFixture.h"

namespace orvane::test {
namespace {

class ItemCheckMethodTest : public ServicesFixture {
protected:
    // A200's reference prices as its line holds them (item row columns 33 to 46).
    static Variant itemCheckA200Prices()
    {
        return Variant::arrayOf({"", "", "", "", "", "", 19.9, "Y", 11.0, 10.5, 10.0, 9.5, 9.0, 8.5});
    }
    // A100 typed over A200 on a line of C001's order in RMB, prices without tax.
    static Variant itemCheckLine(const std::string& item, const std::string& taxType = "2")
    {
        return Variant::arrayOf({item, "C001", "RMB", taxType, "20250301", 25.0, 0.13, "A01", itemCheckA200Prices(),
                                 "E001", "2", "", 5.0, 0.0, 0.0});
    }
    // Each lookup and method answered ahead answers as its single call does.
    void expectSingleCallsAnswers(const Variant& answer)
    {
        for (const Variant& lookup : answer[0].array().elements()) {
            std::vector<Variant> args{lookup[0], lookup[1], "PRTest50", lookup[2], Variant()};
            EXPECT_EQ(services_->invoke("CheckValue", args), lookup[3]) << lookup[0].toString();
            EXPECT_EQ(args[4], lookup[4]) << lookup[0].toString();
        }
        for (const Variant& method : answer[1].array().elements())
            EXPECT_EQ(counter(method[0].toString(), method[1]), method[2]) << method[0].toString();
    }
    static std::vector<std::string> itemCheckNames(const Variant& entries, int width)
    {
        std::vector<std::string> names;
        for (const Variant& entry : entries.array().elements())
            names.push_back(entry[0].toString() + (width == 5 ? " " + entry[1].toString() : ""));
        return names;
    }
};

using ItemCheckNames = std::vector<std::string>;

// On both backends: PostgreSQL reads the check's first rows ahead, in one round trip each step.
TEST_P(ItemCheckMethodTest, EveryAnswerIsTheSingleCallsAnswer)
{
    const Variant answer = counter("ItemCheck", itemCheckLine("A100"));
    const Variant& lookups = answer[0];
    const Variant& methods = answer[1];
    // The chain to its end: the packing method of the default packing the item's unit has.
    EXPECT_EQ(itemCheckNames(lookups, 5), (ItemCheckNames{"INVMB 01", "INVMB 03", "GSPMA 01", "CMSMF 01", "EPSMB 02",
                                                          "CMSMC 01", "EPSMC 01", "GSPTH 03"}));
    EXPECT_EQ(lookups[6][2], Variant::arrayOf({"A100", "PCS", "P01"}));
    // The price at the old and the new rate collapse into one (both 13 %); the retail prices
    // of A100 and of A200 still on the line leave tax.
    EXPECT_EQ(itemCheckNames(methods, 3), (ItemCheckNames{"QtyDToS", "CopUnitPrice", "ChangeTax", "ChangeTax"}));
    expectSingleCallsAnswers(answer);

    // A fixed-weight item in unit mode "3": its four quantities converted into bags (25 KG each);
    // the two quantities at 0 ask once.
    setUnitMode("3");
    const Variant fixedWeight = counter("ItemCheck", itemCheckLine("W100"));
    std::vector<Variant> converted;
    for (const Variant& method : fixedWeight[1].array().elements())
        if (method[0].toString() == "UnitConvert")
            converted.push_back(method[1][1]);
    EXPECT_EQ(converted, (std::vector<Variant>{25.0, 5.0, 0.0}));
    expectSingleCallsAnswers(fixedWeight);
}

TEST_F(ItemCheckMethodTest, WhatTheCheckWouldRefuseIsLeftToTheCheck)
{
    // An unknown item: its lookups answer "not found" and nothing else is asked.
    const Variant unknown = counter("ItemCheck", itemCheckLine("NONE"));
    EXPECT_EQ(itemCheckNames(unknown[0], 5), (ItemCheckNames{"INVMB 01", "INVMB 03", "GSPMA 01", "CMSMF 01"}));
    EXPECT_EQ(unknown[0][0][3], Variant(false));
    EXPECT_TRUE(unknown[1].array().empty());
    // A tax type the price methods refuse: the prices are left out, the rest is answered.
    const Variant refused = counter("ItemCheck", itemCheckLine("A100", "7"));
    EXPECT_EQ(itemCheckNames(refused[1], 3), (ItemCheckNames{"QtyDToS", "ChangeTax", "ChangeTax"}));
}

// The count, a text and a number refused alike for every method: SalesMethodsTest.
TEST_F(ItemCheckMethodTest, BadElementsAreRefusedNamingTheElement)
{
    const auto withElement = [](std::size_t index, Variant value) {
        Variant line = itemCheckLine("A100");
        line[static_cast<int>(index)] = std::move(value);
        return line;
    };
    const std::pair<Variant, std::string> cases[] = {
        {withElement(0, ""), "Server method 'ItemCheck', element 0 (item): may not be empty"},
        {withElement(8, "139"),
         "Server method 'ItemCheck', element 8 (reference prices): expected an array of 14 values"},
        {withElement(8, Variant::arrayOf({"", "", "", "", "", "", Variant::arrayOf({1}), "Y", 0, 0, 0, 0, 0, 0})),
         "Server method 'ItemCheck', element 8 (reference prices): value 6 is not a number or a text"},
    };
    for (const auto& [args, error] : cases)
        EXPECT_EQ(errorOf([&] { counter("ItemCheck", args); }), error);
}

INSTANTIATE_TEST_SUITE_P(Backends, ItemCheckMethodTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
