// The two roads to the application server: the same objects embedded and over TCP, texts
// transcoded between the data code page and UTF-8 both ways, logins refused with the address.
#include "support/DemoServer.h"

#include "platform/lookup/LookupRequest.h"
#include "services/OrvaneINI.h"
#include "support/TempFolder.h"

namespace orvane::test {
namespace {

class ServerAccessTest : public DemoServerTest {};

TEST_P(ServerAccessTest, TextsTravelInTheDataCodePageUnwrittenArgumentsKeepTheirBytesAndAWrongPasswordIsRefused)
{
    auto server = access();
    EXPECT_EQ(server->embedded(), GetParam() == Road::Embedded);
    DispatchPtr lookup = server->createObject("F2WindowS.Class1");
    // A Chinese search text goes out as GBK and the matching names come back as GBK.
    const LookupRequest request{.table = "COPMA", .kind = "01", .keys = Variant::arrayOf({gbk("华东")})};
    std::vector<Variant> args{request.toVariant(), Variant()};
    ASSERT_GE(lookup->invoke("GetF2Data", args).toInteger(), 1);
    const Variant& row = args[1][1][0];
    EXPECT_EQ(row[0], Variant("C001"));
    EXPECT_EQ(row[1], Variant(gbk("华东贸易")));
    EXPECT_NE(args[1][0].toString().find(gbk("客户")), std::string::npos) << "column labels are converted too";

    // Arguments the server does not write keep their bytes: a lone lead byte is no GBK character,
    // and a round trip would turn it into "?".
    DispatchPtr services = server->createObject("OrvaneS.Services");
    const Variant keys = Variant::arrayOf({"\x81"});
    std::vector<Variant> check{"CMSME", "01", "", keys, Variant()};
    EXPECT_EQ(services->invoke("CheckValue", check), Variant(false));
    EXPECT_EQ(check[3], keys);
    EXPECT_EQ(check[2], Variant("PRTest50")) << "the company database is written back";
    EXPECT_NE(errorOf([&] { server->createObject("NoSuch.Class1"); }).find("NoSuch.Class1"), std::string::npos);

    // A wrong password is refused naming the server.
    const std::string error = errorOf([&] { access("wrong"); });
    EXPECT_NE(error.find(options().address + ":" + std::to_string(options().port)), std::string::npos) << error;
    EXPECT_NE(error.find("login"), std::string::npos) << error;
    EXPECT_NE(error.find("'ZT'"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Roads, ServerAccessTest, everyRoad(), roadName);

// Which server comes first is the host configuration's; here: what the client's road takes of it,
// and the name it gives a server it cannot reach.
TEST(ServerAccessTest, OptionsTakeTheFirstConfiguredServerAndTheDataCodePageAndUnreachableServersAreNamed)
{
    const TempFolder temp;
    temp.write("settings.ini", "[Software\\ZTK\\Orvane]\nClientPath=" + temp.path().string() + "\nProfileType=0\n");
    temp.write("OrvaneC.ini",
               "[Server Information]\nComputerName=10.0.0.1;10.0.0.2\nServerPort=2110\n[CodePage]\nDBCodePage=950\n");
    const auto configured = ServerAccessOptions::fromConfiguration(TOrvaneIniC(temp / "settings.ini"));
    EXPECT_EQ(configured.address, "10.0.0.1");
    EXPECT_EQ(configured.port, 2110);
    EXPECT_EQ(configured.dataCodePage, text::CodePage::Big5);
    EXPECT_EQ(configured.dataFolder, temp / "data");

    const std::vector<std::pair<std::string, std::uint16_t>> servers{{"127.0.0.3", 1}, {"", 1}};
    for (const auto& [address, port] : servers) {
        const std::string error = errorOf([&] {
            ServerAccess({.address = address, .port = port}, {"ZT", "demo", "PRTest50"});
        });
        EXPECT_NE(error.find("application server " + address + ":" + std::to_string(port) + ": cannot connect"),
                  std::string::npos)
            << error;
    }
}

} // namespace
} // namespace orvane::test
