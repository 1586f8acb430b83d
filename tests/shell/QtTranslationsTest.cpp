// Qt's own texts follow the interface language: the login window's Cancel button beside its
// Chinese "登录" is Chinese too under CHS and CHT, and English again under ENG.
#include "shell/QtTranslations.h"
#include "shell/LoginDialog.h"

#include <QDialogButtonBox>
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

} // namespace
} // namespace orvane::test
