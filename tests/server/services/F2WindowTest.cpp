// The lookup window's lists as the server answers them; paging through them is the lookup
// window's test (LookupPagingTest), an unknown kind the search window's (SearchFormTest).
#include "ServicesFixture.h"

#include <tuple>

namespace orvane::test {
namespace {

class F2WindowTest : public ServicesFixture {
protected:
    // Calls GetF2Data; answer_ holds the decoded result afterwards.
    int fetch(std::string table, std::string kind, Variant keys = Variant())
    {
        int count = 0;
        std::tie(count, answer_) =
            f2Data({.table = std::move(table), .kind = std::move(kind), .keys = std::move(keys)});
        return count;
    }

    LookupAnswer answer_;
};

TEST_P(F2WindowTest, ListsComeWithTheirColumnSpecification)
{
    EXPECT_EQ(fetch("COPMA", "01"), 7);
    EXPECT_EQ(answer_.columns, "客户编号$;客户简称$;客户全称$;业务人员$;币种$");
    EXPECT_EQ(answer_.rows[0][0], Variant("C001"));
    EXPECT_FALSE(answer_.moreRows);
    EXPECT_FALSE(answer_.takeSingleMatch);

    EXPECT_EQ(fetch("CMSMG", "01", Variant::arrayOf({"USD"})), 2);
    EXPECT_EQ(answer_.columns.substr(0, 42), "银行买入汇率$;币种$;生效日期$D"); // dates are marked "D"
    EXPECT_EQ(fetch("CMSMC", "01", Variant::arrayOf({"01", ""})), 2);           // warehouses of factory 01
    EXPECT_EQ(fetch("CMSMC", "01", Variant::arrayOf({"", "苏州"})), 1);         // by part of the name
}

TEST_P(F2WindowTest, PickListsMatchCodesAndNamesLiterally)
{
    EXPECT_EQ(fetch("COPMA", "61", Variant::arrayOf({"c00"})), 7);
    EXPECT_FALSE(answer_.takeSingleMatch);
    // A whole code typed is the row to take: nothing is left to choose.
    EXPECT_EQ(fetch("COPMA", "61", Variant::arrayOf({"C001 "})), 1);
    EXPECT_TRUE(answer_.takeSingleMatch);
    EXPECT_EQ(answer_.rows[0][0], Variant("C001"));
    EXPECT_EQ(fetch("COPMA", "62", Variant::arrayOf({"商贸"})), 1);
    EXPECT_EQ(fetch("COPMA", "61", Variant::arrayOf({"%"})), 0); // a typed wildcard is a character
    EXPECT_EQ(fetch("INVMB", "63", Variant::arrayOf({"6901234567891"})), 1);
    EXPECT_EQ(answer_.rows[0][0], Variant("A200"));
    EXPECT_FALSE(answer_.takeSingleMatch);
    EXPECT_EQ(fetch("INVMH", "01", Variant::arrayOf({"6901234567890"})), 1);
    EXPECT_TRUE(answer_.takeSingleMatch) << "a bar code names one item";
    EXPECT_EQ(errorOf([&] { fetch("COPMA", "61"); }), "Lookup COPMA \"61\" takes 1 keys, not 0");
}

INSTANTIATE_TEST_SUITE_P(Backends, F2WindowTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
