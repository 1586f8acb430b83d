#include "services/InterfaceTexts.h"

#include "platform/text/ByteText.h"
#include "platform/text/CodePage.h"
#include "platform/text/LocalText.h"
#include "services/OrvaneINI.h"

#include <array>
#include <map>
#include <mutex>

namespace orvane {

namespace {

// Object and property compare without case, as the dictionary's filters do; the component as
// written (a lookup title is a Chinese text whose trail bytes must not change).
std::string textKey(std::string_view object, std::string_view component, std::string_view property)
{
    std::string key;
    key.reserve(object.size() + component.size() + property.size() + 2);
    for (const char c : object)
        key += text::upperAscii(c);
    key += '\x1f';
    key += component;
    key += '\x1f';
    for (const char c : property)
        key += text::upperAscii(c);
    return key;
}

} // namespace

InterfaceTexts::InterfaceTexts(const DictionaryRows& rows)
{
    const int object = rows.column("MO002");
    const int component = rows.column("MO003");
    const int property = rows.column("MO005");
    const int value = rows.column("MO006");
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (!rows.isNull(row, value))
            texts_.insert_or_assign(
                textKey(rows.text(row, object), rows.text(row, component), rows.text(row, property)),
                rows.text(row, value));
    }
}

std::shared_ptr<const InterfaceTexts> InterfaceTexts::of(const std::filesystem::path& folder, std::string_view langType)
{
    // The texts are made again only when the shared reading of the file changed.
    static std::mutex guard;
    static std::map<std::filesystem::path,
                    std::pair<std::shared_ptr<const DictionaryRows>, std::shared_ptr<const InterfaceTexts>>>
        made;
    const std::filesystem::path file = folder / dictionaryFileName(DictionaryFile::Objects, langType);
    std::shared_ptr<const DictionaryRows> rows = sharedDictionaryFile(file);
    const std::lock_guard lock(guard);
    auto& [from, texts] = made[file];
    if (!texts || from != rows) {
        texts = rows ? std::make_shared<const InterfaceTexts>(*rows) : std::make_shared<const InterfaceTexts>();
        from = std::move(rows);
    }
    return texts;
}

std::shared_ptr<const InterfaceTexts> InterfaceTexts::current()
{
    try {
        const TOrvaneIniC configuration;
        if (configuration.clientPath().empty())
            return std::make_shared<const InterfaceTexts>();
        return of(std::filesystem::path(configuration.clientPath()) / "C_DATA", configuration.langType());
    } catch (const std::exception&) {
        // Without a readable configuration there is no dictionary: the design-time texts stay.
        return std::make_shared<const InterfaceTexts>();
    }
}

std::optional<std::string> InterfaceTexts::find(std::string_view object, std::string_view component,
                                                std::string_view property) const
{
    const auto found = texts_.find(textKey(object, component, property));
    if (found == texts_.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::string> InterfaceTexts::message(std::string_view type, std::string_view code) const
{
    return find(textObject::messages, std::string(type) + std::string(code), "Text");
}

std::string InterfaceTexts::text(std::string_view object, std::string_view component, std::string_view designText,
                                 std::string_view property) const
{
    std::optional<std::string> found = find(object, component, property);
    return found ? std::move(*found) : std::string(designText);
}

std::string nothingMatchesText(const InterfaceTexts& texts)
{
    return texts.text(textObject::framework, "msgSearchEmpty", LOCAL_TEXT(u8"没有任何符合的信息."));
}

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
    if (const std::size_t name = text.find("%s"); name != std::string::npos)
        text.replace(name, 2, programName);
    return text;
}

} // namespace orvane
