#include "services/HostSystem.h"

#include "support/EnvironmentGuard.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

TEST(HostSystemTest, CodePageOfCodesetAndOfTheLocaleEnvironment)
{
    const struct {
        const char* codeset;
        const char* codePage;
    } cases[] = {
        {"GBK", "936"},     {"gb2312", "936"}, {"GB18030", "936"},          {"EUC-CN", "936"},       {"cp936", "936"},
        {"BIG5", "950"},    {"Big5", "950"},   {"BIG5-HKSCS", "950"},       {"big5hkscs", "950"},    {"CP950", "950"},
        {"UTF-8", "65001"}, {"utf8", "65001"}, {"ANSI_X3.4-1968", "65001"}, {"ISO-8859-1", "65001"}, {"", "65001"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(codePageOfCodeset(c.codeset), c.codePage) << c.codeset;

    // The code page follows the locale the environment names, even when that locale is not installed.
    EnvironmentGuard guard{"LC_ALL", "LC_CTYPE", "LANG"};
    const struct {
        const char* lcAll;
        const char* lang;
        const char* codePage;
    } locales[] = {
        {"C.UTF-8", nullptr, "65001"},      {"zh_TW.BIG5", nullptr, "950"},
        {"zh_CN.GBK", "zh_TW.BIG5", "936"}, {nullptr, "zh_HK.big5hkscs@stroke", "950"},
        {nullptr, "zh_CN.GB18030", "936"},  {nullptr, nullptr, "65001"},
    };
    for (const auto& c : locales) {
        EnvironmentGuard::set("LC_CTYPE", std::nullopt);
        EnvironmentGuard::set("LC_ALL", c.lcAll ? std::optional<std::string>(c.lcAll) : std::nullopt);
        EnvironmentGuard::set("LANG", c.lang ? std::optional<std::string>(c.lang) : std::nullopt);
        EXPECT_EQ(HostSystem::current().ansiCodePage, c.codePage)
            << (c.lcAll ? c.lcAll : "-") << " / " << (c.lang ? c.lang : "-");
    }
}

} // namespace
} // namespace orvane::test
