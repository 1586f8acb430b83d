#include "services/CodeConversion.h"

#include "platform/variant/Dispatch.h"

#include <vector>

namespace orvane {
namespace {

// The host method converting a value in mode, or null when the mode converts nothing.
const char* hostMethod(ConvertMode mode)
{
    switch (mode) {
    case ConvertMode::Big5ToGb: return "BIG5toGB";
    case ConvertMode::GbToBig5: return "GBtoBig5";
    default: return nullptr;
    }
}

Variant convertValue(Dispatch& host, std::string_view method, const Variant& value)
{
    if (value.isEmpty())
        return value;
    if (value.isArray()) {
        Variant result = value;
        for (Variant& element : result.array().elements())
            element = convertValue(host, method, element);
        return result;
    }
    std::vector<Variant> args{value};
    return host.invoke(method, args);
}

// One text through a host method that converts its by-reference argument.
std::string convertInPlace(const Variant& host, std::string_view method, std::string text)
{
    if (!host.isDispatch())
        return text;
    std::vector<Variant> args{Variant(std::move(text))};
    host.dispatch()->invoke(method, args);
    return args[0].toString();
}

} // namespace

void CodeConversion::ReadConfiguration(const TOrvaneIniC& configuration)
{
    interfaceCodePage_ = configuration.uiCodePage();
    dataCodePage_ = configuration.dbCodePage();
    systemCodePage_ = configuration.systemCodePage();
    displayMode_ = configuration.uiConvertMode();
    dataMode_ = configuration.dbConvertMode();
}

void CodeConversion::ReadConfiguration()
{
    // The client has no server-side reader: both design types read the client configuration.
    ReadConfiguration(TOrvaneIniC());
}

bool CodeConversion::converts(ConvertMode mode) const
{
    return hostMethod(mode) != nullptr && hostObject_.isDispatch();
}

Variant CodeConversion::Convert(const Variant& value, ConvertMode mode) const
{
    if (!converts(mode))
        return value;
    return convertValue(*hostObject_.dispatch(), hostMethod(mode), value);
}

std::string CodeConversion::Big5ToGB(std::string text) const
{
    return convertInPlace(hostObject_, "Big5ToGB", std::move(text));
}

std::string CodeConversion::GBToBig5(std::string text) const
{
    return convertInPlace(hostObject_, "GBToBig5", std::move(text));
}

text::CodePage CodeConversion::textCodePage(ConvertMode mode)
{
    switch (mode) {
    case ConvertMode::Big5ToGb:
    case ConvertMode::GbFont: return text::CodePage::Gbk;
    case ConvertMode::GbToBig5:
    case ConvertMode::Big5Font: return text::CodePage::Big5;
    default: return text::installationCodePage();
    }
}

} // namespace orvane
