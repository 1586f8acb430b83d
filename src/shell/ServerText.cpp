#include "shell/ServerText.h"

#include "services/InterfaceTexts.h"
#include "services/Language_Convert.h"

namespace orvane {

ServerText::ServerText(const LanguageTables& tables, text::CodePage dataCodePage)
    : tables_(&tables), dataCodePage_(dataCodePage)
{
}

ConvertMode ServerText::dataMode() const
{
    return dataCodePage_ ? TOrvaneIniC::dataConvertMode(text::installationCodePage(), *dataCodePage_)
                         : ConvertMode::None;
}

std::string ServerText::shown(std::string_view text) const
{
    switch (dataMode()) {
    case ConvertMode::GbToBig5: return tables_->gbToBig5(text);
    case ConvertMode::Big5ToGb: return tables_->big5ToGb(text);
    default: return std::string(text);
    }
}

std::string ServerText::columnTitle(std::string_view title) const
{
    if (std::optional<std::string> key = dictionaryKey(title)) {
        if (std::optional<std::string> found = InterfaceTexts::current()->find(textObject::lookup, *key))
            return std::move(*found);
    }
    return shown(title);
}

std::optional<std::string> ServerText::dictionaryKey(std::string_view title) const
{
    if (dataMode() == ConvertMode::None)
        return std::string(title);
    const text::CodePage shownIn = text::installationCodePage();
    // The dictionary's titles were brought to the interface's code page character by character
    // when it was read; a title that code page cannot hold whole lost characters there, and
    // could name another title's row.
    std::string key = text::convert(title, *dataCodePage_, shownIn);
    if (text::convert(key, shownIn, *dataCodePage_) != title)
        return std::nullopt;
    return key;
}

} // namespace orvane
