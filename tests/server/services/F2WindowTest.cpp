#include "ServicesFixture.h"

namespace orvane::test {
namespace {

class F2WindowTest : public ServicesFixture {
protected:
    void SetUp() override
    {
        ServicesFixture::SetUp();
        if (!IsSkipped())
            window_ = object("F2WindowS.Class1");
    }
    // Calls GetF2Data; result_ holds the result array afterwards.
    int fetch(std::vector<Variant> request)
    {
        std::vector<Variant> args{Variant::arrayOf(std::move(request)), Variant()};
        const int count = static_cast<int>(window_->invoke("GetF2Data", args).toInteger());
        result_ = args[1];
        return count;
    }

    DispatchPtr window_;
    Variant result_;
};

TEST_P(F2WindowTest, ListsComeWithTheirColumnSpecification)
{
    EXPECT_EQ(fetch({"COPMA", "01"}), 4);
    EXPECT_EQ(result_[0], Variant("客户编号$;客户简称$;客户全称$;业务人员$;币种$"));
    EXPECT_EQ(result_[1][0][0], Variant("C001"));
    EXPECT_EQ(result_[2], Variant(false));

    EXPECT_EQ(fetch({"CMSMG", "01", Variant::arrayOf({"USD"})}), 2);
    EXPECT_EQ(result_[0].toString().substr(0, 22), "币种$;生效日期$D");   // dates are marked "D"
    EXPECT_EQ(fetch({"CMSMC", "01", Variant::arrayOf({"01", ""})}), 2);   // warehouses of factory 01
    EXPECT_EQ(fetch({"CMSMC", "01", Variant::arrayOf({"", "苏州"})}), 1); // by part of the name
}

TEST_P(F2WindowTest, PagesTellWhetherMoreRowsFollow)
{
    EXPECT_EQ(fetch({"COPMA", "01", Variant(), 0, 3}), 3);
    EXPECT_EQ(result_[2], Variant(true));
    EXPECT_EQ(fetch({"COPMA", "01", Variant(), 3, 3}), 1);
    EXPECT_EQ(result_[1][0][0], Variant("C004"));
    EXPECT_EQ(result_[2], Variant(false));
    EXPECT_EQ(errorOf([&] {
                  fetch({"COPMA", "01", Variant(), 0, 5000});
              }),
              "GetF2Data: rows wanted 5000 is outside 1..1000");
}

TEST_P(F2WindowTest, PickListsMatchCodesAndNamesLiterally)
{
    EXPECT_EQ(fetch({"COPMA", "61", Variant::arrayOf({"c00"})}), 4);
    EXPECT_EQ(fetch({"COPMA", "62", Variant::arrayOf({"商贸"})}), 1);
    EXPECT_EQ(fetch({"COPMA", "61", Variant::arrayOf({"%"})}), 0); // a typed wildcard is a character
    EXPECT_EQ(fetch({"INVMB", "63", Variant::arrayOf({"6901234567891"})}), 1);
    EXPECT_EQ(result_[1][0][0], Variant("A200"));
    EXPECT_EQ(fetch({"INVMH", "01", Variant::arrayOf({"6901234567890"})}), 1);
    EXPECT_EQ(errorOf([&] { fetch({"COPMA", "61"}); }), "Lookup COPMA \"61\" takes 1 keys, not 0");
}

TEST_P(F2WindowTest, UnknownKindsAnswerMinusOne)
{
    EXPECT_EQ(fetch({"COPMA", "99"}), -1);
    EXPECT_EQ(result_[1], Variant::arrayOf({}));
    EXPECT_NE(errorOf([&] {
                  std::vector<Variant> args{"COPMA", Variant()};
                  window_->invoke("GetF2Data", args);
              }),
              "");
}

INSTANTIATE_TEST_SUITE_P(Backends, F2WindowTest, ::testing::Values(Backend::Sqlite, Backend::Postgres), backendName);

} // namespace
} // namespace orvane::test
