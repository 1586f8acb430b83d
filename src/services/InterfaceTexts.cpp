#include "services/InterfaceTexts.h"

#include "platform/text/ByteText.h"
#include "services/OrvaneINI.h"

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

std::string InterfaceTexts::text(std::string_view object, std::string_view component, std::string_view designText,
                                 std::string_view property) const
{
    std::optional<std::string> found = find(object, component, property);
    return found ? std::move(*found) : std::string(designText);
}

} // namespace orvane
