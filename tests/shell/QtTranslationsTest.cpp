// Qt's own texts follow the interface language: the login window's Cancel button beside its
// Chinese "登录" is Chinese too under CHS and CHT, and English again under ENG.
#include "shell/QtTranslations.h"
#include "shell/LoginDialog.h"
#include "support/Installation.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

QString cancelText()
{
    LoginDialog window;
    return window.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text();
}

TEST(QtTranslationsTest, StandardButtonsFollowTheInterfaceLanguage)
{
    if (!installQtTranslations("CHS"))
        GTEST_SKIP() << "Qt's translations are not installed (qt6-translations-l10n)";
    EXPECT_EQ(cancelText(), QString::fromUtf8(u8"取消"));
    ASSERT_TRUE(installQtTranslations("cht"));
    EXPECT_EQ(cancelText(), QString::fromUtf8(u8"取消"));
    EXPECT_FALSE(installQtTranslations("ENG"));
    EXPECT_EQ(cancelText(), QStringLiteral("Cancel")) << "the Chinese translation is removed";
}

// The shell's own texts come from the dictionary of the interface language, before any login.
TEST(QtTranslationsTest, LoginWindowSpeaksTheInterfaceLanguage)
{
    TestInstallation installation;
    std::filesystem::copy(ORVANE_DICTIONARY_FOLDER, installation / "C_DATA");
    const auto login = [&](const std::string& language) {
        writeFile(installation / "OrvaneC.ini", "[Client Components]\nLangType=" + language + "\n");
        auto window = std::make_unique<LoginDialog>();
        return QStringList{window->windowTitle(), window->findChild<QLabel*>(QStringLiteral("lblUser"))->text(),
                           window->findChild<QPushButton*>(QStringLiteral("btnLogin"))->text()};
    };
    EXPECT_EQ(login("ENG"), (QStringList{"Log in", "User", "Log in"}));
    // Taiwan's phrases, not only its characters.
    EXPECT_EQ(login("CHT"), (QStringList{QString::fromUtf8(u8"登入"), QString::fromUtf8(u8"使用者代號"),
                                         QString::fromUtf8(u8"登入")}));
}

} // namespace
} // namespace orvane::test
