#include "shell/LaunchCode.h"

#include "platform/text/CodePage.h"
#include "services/InterfaceTexts.h"

#include <array>

namespace orvane {

std::string launchText(int code, std::string_view programName)
{
    // Code -1 first; "%s" stands for the program's name.
    static constexpr std::array<std::string_view, 7> texts{
        "[%s]程序不存在!",
        "[%s]程序装入失败!",
        "[%s]程序启动时无法录入公用元件!",
        "[%s]程序启动时取程序权限错误!",
        "[%s]程序无运行权限!",
        "[%s]程序起始化错误!",
        "[%s]程序发生不可预知的错误!",
    };
    if (code >= 0 || code < -static_cast<int>(texts.size()))
        return {};
    // The interface language's text is the dictionary's "msgLaunch1" .. "msgLaunch7".
    const std::optional<std::string> translated =
        InterfaceTexts::current()->find(textObject::shell, "msgLaunch" + std::to_string(-code));
    std::string text =
        translated ? text::localToUtf8(*translated) : std::string(texts[static_cast<std::size_t>(-code - 1)]);
    if (text.find("%s") == std::string::npos)
        return text;
    text.replace(text.find("%s"), 2, programName);
    return text;
}

} // namespace orvane
