#include "ServicesFixture.h"

namespace orvane::test {
namespace {

class SimpleSqlTest : public ServicesFixture {
protected:
    Variant simpleSql(std::vector<Variant> args) { return counter("SimpleSql", Variant::arrayOf(std::move(args))); }
    static std::string rightsQuery(const std::string& db, const std::string& program, const std::string& user)
    {
        return " SELECT MF005,MG006 FROM " + db + ".." + "ADMMF " + " LEFT JOIN " + db + ".." +
               "ADMMG on MG001=MF001 and MG002=" + "'" + program + "'" + " WHERE MF001=" + "'" + user + "'";
    }
};

TEST_P(SimpleSqlTest, AnswersTheThreeShapesTheClientSends)
{
    const Variant name =
        simpleSql({"SELECT MB002 FROM ADMMB AS ADMMB  WHERE MB001='TAVI52'", "MB002", "PRTest50", "N"});
    EXPECT_EQ(name, Variant::arrayOf({Variant::arrayOf({"客户订单录入作业"})}));

    const Variant rights = simpleSql({rightsQuery("PRTest50", "TAVI52", "ZT"), "MF005,MG006"});
    ASSERT_EQ(rights.array().size(), 1u);
    EXPECT_EQ(rights[0][0], Variant("Y"));
    EXPECT_EQ(rights[0][1], Variant(",Y,Y,YYYYYYYYYYYY,YYYYYYY,YYYYYYY"));
    // No rights row for the program: the user's row with empty rights.
    EXPECT_EQ(simpleSql({rightsQuery("PRTest50", "OTHER", "ZT"), "MF005,MG006"})[0][1], Variant(""));

    db_->execute("INSERT INTO " + db_->dialect().companyTable("PRTest50", "ATTACH") +
                     " (PARENT, COMPANYID, KEYVALUES, SEQ) VALUES (?, ?, ?, ?), (?, ?, ?, ?)",
                 {"TAVI52", "PRTest50", "2201||2501200001", "1", "TAVI52", "PRTest50", "2201||2501200001", "2"});
    const Variant attached =
        simpleSql({" SELECT DISTINCT KeyValues FROM ATTACH WHERE Parent = 'TAVI52' AND CompanyID = 'PRTest50'", ""});
    EXPECT_EQ(attached, Variant::arrayOf({Variant::arrayOf({"2201||2501200001"})}));
    EXPECT_EQ(simpleSql({"SELECT MB002 FROM ADMMB AS ADMMB WHERE MB001='NONE'", "MB002"}), Variant::arrayOf({}));
}

TEST_F(SimpleSqlTest, RefusesEverythingElse)
{
    struct Case {
        std::vector<Variant> args;
        std::string error;
    };
    const std::string refused = "SimpleSql refuses a statement it does not know: ";
    // What a shape lets through is SqlShapeTest's (a union, a second statement...); here one
    // statement of no known shape proves the method asks the shapes.
    const std::vector<Case> cases{
        {{"SELECT PASSWORD_HASH FROM SYS_USER WHERE USER_ID='ZT'", "PASSWORD_HASH"},
         refused + "SELECT PASSWORD_HASH FROM SYS_USER WHERE USER_ID='ZT'"},
        {{rightsQuery("PRTest51", "TAVI52", "ZT"), "MF005,MG006"},
         "SimpleSql: company database 'PRTest51' is not this session's ('PRTest50')"},
        {{rightsQuery("PRTest50", "TAVI52", "SALES01"), "MF005,MG006"},
         "SimpleSql: the rights of user 'SALES01' are not this session's to read"},
        {{"SELECT MB002 FROM ADMMB AS ADMMB WHERE MB001='TAVI52'", "MB002,MB003"},
         "SimpleSql: the column list 'MB002,MB003' does not match the statement's (MB002)"},
        {{"SELECT MB002 FROM ADMMB AS ADMMB WHERE MB001='TAVI52'", "MB002", "Other", "N"},
         "SimpleSql: company database 'Other' is not this session's ('PRTest50')"},
        {{"SELECT MB002 FROM ADMMB AS ADMMB WHERE MB001='TAVI52'"},
         "Server method 'SimpleSql' takes 2 to 4 arguments, not 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf([&] { simpleSql(c.args); }), c.error);
}

INSTANTIATE_TEST_SUITE_P(Backends, SimpleSqlTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
