#include "platform/text/LocalText.h"

namespace orvane::text {

const std::string& LocalLiteral::get()
{
    const CodePage codePage = installationCodePage();
    const std::size_t index = codePage == CodePage::Gbk ? 0 : codePage == CodePage::Big5 ? 1 : 2;
    std::call_once(once_[index], [&] {
        const std::string_view utf8(reinterpret_cast<const char*>(utf8_.data()), utf8_.size());
        converted_[index] = fromUtf8(utf8, codePage);
    });
    return converted_[index];
}

} // namespace orvane::text
