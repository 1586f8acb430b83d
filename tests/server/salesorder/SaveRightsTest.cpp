// The server's reading of the rights text agrees with the client's windows: what a form
// offers for an order, the server lets through, and nothing else.
#include "server/services/SaveRights.h"
#include "framework/RecordRights.h"
#include "framework/VozurazCF.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

// The client's right flags for a record, as the base form computes them.
RightFlags clientFlags(const std::string& powerData, std::string_view creator, std::string_view group,
                       std::string_view user, std::string_view groupList)
{
    const CommandSet commands =
        powerData.empty() ? TfrmVozuraz::noRightsCommands() : TfrmVozuraz::RightsCommands(powerData);
    RightFlags flags = programRights(commands);
    if (flags.recordLevel)
        applyRecordClass(flags, commands, recordClassOf(creator, group, user, groupList));
    return flags;
}

TEST(SaveRightsTest, TheServerAllowsExactlyWhatTheClientsFormsOffer)
{
    const std::string powerData[] = {
        "",
        ",Y,Y,YYYYYYYYYYYY,YYYYYYY,YYYYYYY",
        ",N,N,YYYNNNRRNNNN,NNNNNNN,NNNNNNN",
        ",N,N,YYYYNNRRNNNY,YY,NN",
        ",N,N,YNNNNNNNNNNY,NY,YN",
        ",N,N,YNNYNYNNYNNY,NNYNY,YYNYN",
        ",y,y,yyyyyyyyyyyy,yyy,yyy",
        ",N,N,YY",
        "A,B",
    };
    const std::string groupList = "'SALES',\"ADMIN\"";
    // creator, group: the user's own, without creator, the user's groups, another group.
    const std::pair<const char*, const char*> records[] = {{"SALES01", "X"}, {"", "X"},       {"ZT", "SALES"},
                                                           {"ZT", "ADMIN"},  {"ZT", "OTHER"}, {" SALES01 ", ""}};
    for (const std::string& rights : powerData) {
        const SaveRights server(rights, "SALES01", groupList);
        for (const auto& [creator, group] : records) {
            const RightFlags client = clientFlags(rights, creator, group, "SALES01", groupList);
            const std::string where = "rights '" + rights + "', creator '" + creator + "', group '" + group + "'";
            EXPECT_EQ(server.allows(OrderChange::Add), client.canAdd) << where;
            EXPECT_EQ(server.allows(OrderChange::Edit, creator, group), client.canEdit) << where;
            EXPECT_EQ(server.allows(OrderChange::Delete, creator, group), client.canDelete) << where;
            EXPECT_EQ(server.allows(OrderChange::Confirm, creator, group), client.canConfirm) << where;
            EXPECT_EQ(server.allows(OrderChange::Unconfirm, creator, group), client.canUnConfirm) << where;
            EXPECT_EQ(server.allows(OrderChange::Void, creator, group), client.canInvalid) << where;
        }
    }
}

} // namespace
} // namespace orvane::test
