#include "services/ZtMsg.h"

#include "platform/data/SilentAbort.h"
#include "platform/text/Format.h"
#include "services/Brokers.h"
#include "services/CodeConverter.h"
#include "services/HostSystem.h"
#include "services/InterfaceTexts.h"
#include "services/LibSys.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <utility>

namespace orvane {
namespace {

struct MessageStyle {
    DialogKind kind;
    std::vector<int> buttons;
};

MessageStyle styleOf(std::string_view type)
{
    using A = DialogAnswer;
    if (type == "C" || type == "W")
        return {DialogKind::Warning, {A::Ok, A::Cancel}};
    if (type == "D")
        return {DialogKind::Warning, {A::Yes, A::No, A::Cancel}};
    if (type == "E")
        return {DialogKind::Error, {A::Ok}};
    if (type == "I")
        return {DialogKind::Information, {A::Ok}};
    if (type == "Q")
        return {DialogKind::Confirmation, {A::Ok, A::Cancel}};
    return {DialogKind::Plain, {A::Ok}};
}

// The text with its placeholders filled. A text whose placeholders do not fit the values (a
// stray "%", too few values, text for a number) is shown unfilled rather than losing the message.
std::string fill(const std::string& text, std::span<const Variant> values)
{
    try {
        return text::format(text, values);
    } catch (const text::FormatError&) {
        return text;
    } catch (const ConversionError&) {
        return text;
    }
}

// The message's text in the interface's code page. The dictionary's text is in it already; the
// server's is in the data code page and is converted only when that differs from the interface's.
std::string messageText(const MessageOwner& owner, std::string_view type, std::string_view code)
{
    if (std::optional<std::string> text = InterfaceTexts::current()->message(type, code))
        return std::move(*text);
    std::string text;
    owner.brokers.GetMessage(type, code, text);
    return owner.converter.DataConvert(Variant(std::move(text))).toString();
}

} // namespace

int ShowMessageCode(const MessageOwner& owner, std::string_view type, std::string_view code, bool abortFlag,
                    std::span<const Variant> values)
{
    const TCodeConverter& converter = owner.converter;
    const ConvertMode mode = converter.displayMode();
    std::string text = messageText(owner, type, code);
    if (converter.interfaceCodePage() == "950" || converter.dataCodePage() == "950")
        text += "    ";
    text += ' ';

    MessageStyle style = styleOf(type);
    const int answer = ShowCodeDialog(owner, fill(text, values), style.kind, std::move(style.buttons), mode);
    if (type == "W" && abortFlag && answer != DialogAnswer::Ok)
        abortSilently();
    return answer;
}

int ShowCodeDialog(const MessageOwner& owner, std::string text, DialogKind kind, std::vector<int> buttons,
                   ConvertMode mode)
{
    if (mode != ConvertMode::None || HostSystem::current().ansiCodePage != "936")
        text += "      ";
    return DialogService::instance().showMessage({owner.caption,
                                                  text::toQString(text, TCodeConverter::textCodePage(mode)), kind,
                                                  std::move(buttons), TCodeConverter::DialogFont(mode)});
}

void installExceptionReportWriter()
{
    setExceptionReporter([](const std::exception* error, std::string_view routine) {
        WriteExceptionReport(error, routine, error ? "" : "An exception of an unknown type");
    });
}

} // namespace orvane
