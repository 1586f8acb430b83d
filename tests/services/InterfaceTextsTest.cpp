// The texts the client's code shows in the interface language: read from the dictionary's
// component rows, taken again after the file changed, and the design-time text where the
// dictionary has none; the host object's message texts in English from the demo dictionary.
#include "support/DemoHost.h"
#include "support/Installation.h"
#include "support/TextPacket.h"

#include "services/InterfaceTexts.h"

namespace orvane::test {
namespace {

TEST(InterfaceTextsTest, ObjectAndPropertyInAnyCaseAndTheFileReadAgainWhenItChanges)
{
    TempFolder folder;
    const std::filesystem::path file = folder / "DDOBJENG.cds";
    saveDictionaryFile(file,
                       textPacket(objectColumns, {{"ENG", "orvane", "frmLogin", "", "caption", "Log in"},
                                                  {"ENG", "Orvane", "lblUser", "", "Caption", nullptr},
                                                  {"ENG", "TAVI52", "frmLogin", "", "Caption", "not the shell's"}}));
    auto texts = InterfaceTexts::of(folder.path(), "ENG");
    EXPECT_EQ(texts->text(textObject::shell, "frmLogin", "design"), "Log in");
    EXPECT_EQ(texts->text(textObject::shell, "FRMLOGIN", "design"), "design") << "component names keep their case";
    EXPECT_EQ(texts->text(textObject::shell, "lblUser", "design"), "design") << "a null value is no text";
    EXPECT_EQ(texts->text(textObject::shell, "frmLogin", "design", "Hint"), "design");
    EXPECT_EQ(InterfaceTexts::of(folder.path(), "ENG"), texts) << "read once while the file stays";

    // The refresh at login rewrites the file: the next window sees the new text.
    saveDictionaryFile(file,
                       textPacket(objectColumns, {{"ENG", "Orvane", "frmLogin", "", "Caption", "Sign in, changed"}}));
    EXPECT_EQ(InterfaceTexts::of(folder.path(), "ENG")->text(textObject::shell, "frmLogin", "design"),
              "Sign in, changed");

    writeFile(file, "ORVDSF\r\n damaged");
    EXPECT_EQ(InterfaceTexts::of(folder.path(), "ENG")->size(), 0u);
    EXPECT_EQ(InterfaceTexts::of(folder.path(), "CHT")->size(), 0u) << "no file, no texts";
}

using InterfaceTextsHostTest = DemoHostTest<ShellWindows>;

TEST_F(InterfaceTextsHostTest, MessageTextsFollowTheInterfaceLanguage)
{
    TestInstallation installation;
    std::filesystem::copy(ORVANE_DICTIONARY_FOLDER, installation / "C_DATA");
    const struct {
        const char* language;
        const char* code;
        std::string text;
    } cases[] = {
        {"ENG", "100460", "The customer stopped trading on %s."},
        {"CHT", "100460", gbk("客戶已於 %s 停止交易!")},
        {"CHT", "000001", gbk("[%s]輸入的代碼不存在, 請重新輸入!")}, // a code, not program code
        {"ENG", "1000063", "The parent key may not be blank."},
    };
    for (const auto& c : cases) {
        writeFile(installation / "OrvaneC.ini", std::string("[Client Components]\nLangType=") + c.language + "\n");
        EXPECT_EQ(host->call("GetMessage", {"E", c.code}).toString(), c.text) << c.language;
    }
}

} // namespace
} // namespace orvane::test
