#include "shell/ShellOptions.h"

#include "platform/config/ConfigError.h"

#include <fstream>

namespace orvane {

const char* shellUsage()
{
    return "usage: orvane [--demo | --user USER --company COMPANY --password-file FILE] [--open PROGRAM]... "
           "[--smoke]\n"
           "  --demo               log in as the demonstration user ZT in company PRTest50\n"
           "  --user USER          log in directly as USER ...\n"
           "  --company COMPANY    ... in COMPANY ...\n"
           "  --password-file FILE ... with the password in the first line of FILE\n"
           "  --open PROGRAM       start PROGRAM (for example TAVI52) after the login; repeatable\n"
           "  --smoke              run without a user: start the --open programs, close them, exit\n";
}

ParsedOptions parseShellOptions(const std::vector<std::string>& arguments)
{
    ShellOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        const auto value = [&]() -> const std::string* { return i + 1 < arguments.size() ? &arguments[++i] : nullptr; };
        if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--smoke") {
            options.smoke = true;
        } else if (arg == "--user" || arg == "--company" || arg == "--password-file" || arg == "--open") {
            const std::string* given = value();
            if (!given || given->empty())
                return {std::nullopt, arg + " needs a value"};
            if (arg == "--user")
                options.user = *given;
            else if (arg == "--company")
                options.company = *given;
            else if (arg == "--password-file")
                options.passwordFile = *given;
            else
                options.open.push_back(*given);
        } else {
            return {std::nullopt, "unknown argument '" + arg + "'"};
        }
    }
    const bool named = !options.user.empty() || !options.company.empty() || !options.passwordFile.empty();
    if (options.demo && named)
        return {std::nullopt, "--demo cannot be combined with --user, --company or --password-file"};
    if (named && (options.user.empty() || options.company.empty() || options.passwordFile.empty()))
        return {std::nullopt, "a direct login needs --user, --company and --password-file together"};
    options.directLogin = options.demo || named;
    if (options.smoke && !options.directLogin)
        return {std::nullopt, "--smoke needs a direct login (--demo or --user/--company/--password-file)"};
    return {options, {}};
}

std::string readPasswordFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ConfigError("cannot read the password file " + file.string());
    std::string line;
    std::getline(in, line);
    if (in.bad())
        throw ConfigError("cannot read the password file " + file.string());
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace orvane
