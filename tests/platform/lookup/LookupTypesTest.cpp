// The lookup request and answer against their variant arrays, written out by hand: each member
// in its own element, and every malformed array refused with the element named.
#include "platform/lookup/LookupAnswer.h"
#include "platform/lookup/LookupRequest.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

#include <functional>

namespace orvane::test {
namespace {

// The array of a default request, element by element.
Variant defaultRequest()
{
    return Variant::arrayOf({"", "", Variant(), false, "", "", "", 0, 1, false, 0, false, false});
}

struct ElementCase {
    std::size_t element;
    Variant value;
    std::function<void(LookupRequest&)> set;
};

TEST(LookupTypesTest, LookupRequestEachMemberTravelsInItsOwnElement)
{
    const std::vector<ElementCase> cases{
        {0, "COPMA", [](LookupRequest& r) { r.table = "COPMA"; }},
        {1, "61", [](LookupRequest& r) { r.kind = "61"; }},
        {2, Variant::arrayOf({"C00"}), [](LookupRequest& r) { r.keys = Variant::arrayOf({"C00"}); }},
        {3, true, [](LookupRequest& r) { r.takeFirstRow = true; }},
        {4, "C00", [](LookupRequest& r) { r.text = "C00"; }},
        {5, "PRTest50", [](LookupRequest& r) { r.companyId = "PRTest50"; }},
        {6, "PRDB", [](LookupRequest& r) { r.companyDb = "PRDB"; }},
        {7, 4242, [](LookupRequest& r) { r.windowHandle = 4242; }},
        {8, 5, [](LookupRequest& r) { r.fixedOne = 5; }},
        {9, true, [](LookupRequest& r) { r.secondFlag = true; }},
        {10, 3, [](LookupRequest& r) { r.shellTag = 3; }},
        {11, true, [](LookupRequest& r) { r.commands33or35 = true; }},
        {12, true, [](LookupRequest& r) { r.commands32or34 = true; }},
    };
    for (const ElementCase& c : cases) {
        LookupRequest request;
        c.set(request);
        Variant expected = defaultRequest();
        expected[static_cast<int>(c.element)] = c.value;
        EXPECT_EQ(request.toVariant(), expected) << "element " << c.element;
        EXPECT_EQ(LookupRequest::fromVariant(expected), request) << "element " << c.element;
    }
}

// A page travels in elements 13 and 14: the malformed requests below name them, and
// LookupPagingTest pages through the real lookup component.
TEST(LookupTypesTest, LookupRequestMalformedRequestsAreRefusedNamingTheElement)
{
    const auto with = [](int element, Variant value) {
        Variant request = LookupRequest{.page = LookupPage{}}.toVariant();
        request[element] = std::move(value);
        return request;
    };
    const std::vector<std::pair<Variant, std::string>> cases{
        {"COPMA", "Lookup request: an array of 13 or 15 elements expected, not String"},
        {Variant::createArray(0, 11), "Lookup request: an array of 13 or 15 elements expected, not 12 elements"},
        {with(3, 1), "Lookup request element 3 (take the first row) is Integer, not Boolean"},
        {with(6, Variant::null()), "Lookup request element 6 (company database) is Null, not String"},
        {with(12, "Y"), "Lookup request element 12 (command 32 or 34) is String, not Boolean"},
        {with(2, Variant::createArray({0, 1}, {0, 1})),
         "Lookup request element 2 (keys) is a two-dimensional array, not a list"},
        {with(13, -1), "Lookup request element 13 (first row) is -1, below 0"},
        {with(14, 5000), "Lookup request element 14 (rows wanted) is 5000, outside 1..1000"},
    };
    for (const auto& [request, message] : cases)
        EXPECT_EQ(errorOf([&] { LookupRequest::fromVariant(request); }), message);
}

TEST(LookupTypesTest, LookupAnswerRoundTripsAndRefusesRowsThatAreNoLists)
{
    const LookupAnswer answer{"代号$;日期$D", {{"A100", 20240506}, {"A200", Variant()}}, true, true};
    const Variant encoded = answer.toVariant();
    EXPECT_EQ(encoded, Variant::arrayOf({"代号$;日期$D",
                                         Variant::arrayOf({Variant::arrayOf({"A100", 20240506}),
                                                           Variant::arrayOf({"A200", Variant()})}),
                                         true, true}));
    EXPECT_EQ(LookupAnswer::fromVariant(encoded), answer);

    Variant scalarRow = encoded;
    scalarRow[1] = Variant::arrayOf({"A100"});
    EXPECT_EQ(errorOf([&] { LookupAnswer::fromVariant(scalarRow); }),
              "Lookup answer element 1 (rows) holds a row that is String, not a list of columns");
    const Variant threeElements = Variant::arrayOf({"", Variant::arrayOf({}), false});
    EXPECT_EQ(errorOf([&] { LookupAnswer::fromVariant(threeElements); }),
              "Lookup answer: an array of 4 or 5 elements expected, not 3 elements");

    const LookupAnswer named{"代号$", {{"A100"}}, false, false, {"MA001"}};
    EXPECT_EQ(named.toVariant()[4], Variant::arrayOf({"MA001"}));
    EXPECT_EQ(LookupAnswer::fromVariant(named.toVariant()), named);
    Variant numberName = named.toVariant();
    numberName[4] = Variant::arrayOf({1});
    EXPECT_EQ(errorOf([&] { LookupAnswer::fromVariant(numberName); }),
              "Lookup answer element 4 (field names) holds a Integer, not a field name");
}

} // namespace
} // namespace orvane::test
