#pragma once
// ServerText: a text the server answered, in the client's data code page, brought once into the
// interface's code page for showing, by the same data conversion mode as a form's converter
// (TOrvaneIniC::dataConvertMode): Simplified Chinese GB texts become Traditional Chinese Big5
// through the Language file's tables under a Big5 interface over GB data, and back the other way;
// texts stay as they are otherwise. Lookup list column titles are looked
// up in the dictionary first, whose texts are in the interface's language and code page already,
// so they are never converted a second time.
// No Qt; client thread.

#include "platform/text/CodePage.h"
#include "services/OrvaneINI.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

class LanguageTables;

class ServerText {
public:
    ServerText() = default; // texts are shown as they are
    // tables outlive the object.
    ServerText(const LanguageTables& tables, text::CodePage dataCodePage);

    // The server's text in the interface's code page.
    std::string shown(std::string_view text) const;
    // A lookup list's column title: the dictionary's title in the interface language, else the
    // server's title shown.
    std::string columnTitle(std::string_view title) const;

private:
    // How the server's texts are converted for the interface's code page.
    ConvertMode dataMode() const;
    // The title as the dictionary names it; none when the interface's code page cannot hold it.
    std::optional<std::string> dictionaryKey(std::string_view title) const;

    const LanguageTables* tables_ = nullptr;
    std::optional<text::CodePage> dataCodePage_; // none: the interface's
};

} // namespace orvane
