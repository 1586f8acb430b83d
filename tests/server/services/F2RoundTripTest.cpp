// What a field takes from its lookup list (the chosen row's leading columns, docs/catalogue.md)
// must be a value the field's own check accepts: a list that offers what the check then refuses,
// or a code where the field wants a text or a number, is a fault the clerk meets at once.
#include "ServicesFixture.h"

namespace orvane::test {
namespace {

class F2RoundTripTest : public ServicesFixture {
protected:
    std::vector<std::vector<Variant>> list(std::string table, std::string kind, std::vector<Variant> keys)
    {
        return f2Data({.table = std::move(table), .kind = std::move(kind), .keys = Variant::arrayOf(std::move(keys))})
            .second.rows;
    }
    bool check(std::string_view table, std::string_view kind, std::vector<Variant> keys)
    {
        return validate("CheckValue", table, kind, Variant::arrayOf(std::move(keys))).found;
    }

    // A number as stored: "COLUMN FROM PRTest50..TABLE WHERE ...".
    double stored(const std::string& select, std::vector<Variant> keys)
    {
        return db_->query("SELECT " + db_->dialect().mapCompanyPrefix(select), keys).rows.at(0).at(0).toFloat();
    }

    static std::vector<std::string> firstColumn(const std::vector<std::vector<Variant>>& rows)
    {
        std::vector<std::string> out;
        for (const auto& row : rows)
            out.push_back(row.at(0).toString());
        return out;
    }
};

TEST_F(F2RoundTripTest, CodeListsOfferOnlyWhatTheFieldCheckAccepts)
{
    // TC006: salespeople only; TC042: sales payment terms only.
    const auto staff = firstColumn(list("CMSMK", "01", {"3", ""}));
    EXPECT_EQ(staff, (std::vector<std::string>{"S001", "S002"})); // not the buyer P001
    for (const auto& code : staff)
        EXPECT_TRUE(check("CMSMK", "01", {code, "3", "", ""})) << code;
    const auto terms = firstColumn(list("CMSNA", "01", {"2", ""}));
    EXPECT_EQ(terms, (std::vector<std::string>{"CASH", "N30", "TT60"})); // not the purchase term P45
    for (const auto& code : terms)
        EXPECT_TRUE(check("CMSNA", "01", {"2", code})) << code;
}

TEST_F(F2RoundTripTest, QuotationLinesFillTheThreeSourceFieldsTheLineCheckFinds)
{
    // F2 on TD017 takes columns 0..2 into TD017, TD018, TD019; COPTA "02" then checks them
    // against the head (customer, salesperson, currency, date twice, tax type).
    const std::vector<std::vector<Variant>> heads{{"C001", "S001", "RMB", "20250301", "2"},
                                                  {"C002", "S002", "USD", "20250301", "3"}};
    for (const auto& head : heads) {
        std::vector<Variant> keys = head;
        keys.emplace_back("");
        const auto rows = list("COPTA", "02", keys);
        ASSERT_EQ(rows.size(), 2u) << head[0].toString();
        for (const auto& row : rows)
            EXPECT_TRUE(
                check("COPTA", "02", {row[0], row[1], row[2], head[0], head[1], head[2], head[3], head[3], head[4]}))
                << row[1].toString() << " " << row[2].toString();
    }
    EXPECT_TRUE(list("COPTA", "02", {"C001", "S001", "RMB", "20241231", "2", ""}).empty()); // before the validity
    EXPECT_EQ(list("COPTA", "02", {"", "", "", "", "", "led灯泡"}).size(), 2u);             // by the item name
}

TEST_F(F2RoundTripTest, ValueFieldsTakeAValueNotACode)
{
    // TC010 takes the address text: the customer's first address is its default one.
    EXPECT_EQ(list("COPMD", "01", {"C001", ""}).at(0).at(0),
              validate("CheckValue", "COPMA", "08", Variant::arrayOf({"C001"})).result[7]);
    // TC009 takes the buying rate of the chosen currency and date, TD008 the quantity on hand of
    // the chosen warehouse, and F3 on TD011 the price paid, the latest first.
    for (const auto& rate : list("CMSMG", "01", {"USD", ""}))
        EXPECT_DOUBLE_EQ(rate[0].toFloat(),
                         stored("MG003 FROM PRTest50..CMSMG WHERE MG001 = ? AND MG002 = ?", {rate[1], rate[2]}));
    for (const auto& place : list("INVMC", "01", {"A100", ""}))
        EXPECT_DOUBLE_EQ(place[0].toFloat(),
                         stored("MC003 FROM PRTest50..INVMC WHERE MC001 = ? AND MC002 = ?", {"A100", place[1]}));
    EXPECT_EQ(firstColumn(list("COPTH", "01", {"C001", "A100", "RMB"})), (std::vector<std::string>{"95", "96", "98"}));
    // The change history of a line is shown, not taken.
    EXPECT_EQ(firstColumn(list("COPTE", "02", {"2201", "2501200001", "0001"})),
              (std::vector<std::string>{"0001", "0002"}));
}

} // namespace
} // namespace orvane::test
