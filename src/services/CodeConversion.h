#pragma once
// CodeConversion: the text part of the interface-language converter, without Qt. It holds the
// code pages and conversion modes of the host configuration and converts values between Big5 and
// GB through the shell's host object. The form's converter (TCodeConverter) adds the fonts and
// the widgets; data modules convert their field texts with this part alone. Client thread only.

#include "platform/text/CodePage.h"
#include "platform/variant/Variant.h"
#include "services/OrvaneINI.h"

#include <string>

namespace orvane {

class CodeConversion {
public:
    enum class DesignType : std::uint8_t { dtClient = 0, dtServer = 1 };

    // Copies the three code pages and the two modes from the host configuration.
    void ReadConfiguration(const TOrvaneIniC& configuration);
    void ReadConfiguration();

    void setHostObject(Variant host) { hostObject_ = std::move(host); }
    const Variant& hostObject() const { return hostObject_; }

    // The value converted in mode (arrays element by element); mode 0, 3, 4, empty and null
    // values are returned unchanged, as is everything without a host object.
    Variant Convert(const Variant& value, ConvertMode mode) const;
    Variant DisplayConvert(const Variant& value) const { return Convert(value, displayMode_); }
    Variant DataConvert(const Variant& value) const { return Convert(value, dataMode_); }
    // One text through the host methods "Big5ToGB" / "GBToBig5" (unchanged without a host).
    std::string Big5ToGB(std::string text) const;
    std::string GBToBig5(std::string text) const;
    // True when mode converts texts (Big5 to GB or GB to Big5) and a host object can do it.
    bool converts(ConvertMode mode) const;

    // The code page a text shown in the mode is in: GB for modes 1 and 4, Big5 for 2 and 3, the
    // installation's for mode 0.
    static text::CodePage textCodePage(ConvertMode mode);

    const std::string& interfaceCodePage() const { return interfaceCodePage_; }
    const std::string& dataCodePage() const { return dataCodePage_; }
    const std::string& systemCodePage() const { return systemCodePage_; }
    ConvertMode displayMode() const { return displayMode_; }
    ConvertMode dataMode() const { return dataMode_; }
    void setDisplayMode(ConvertMode mode) { displayMode_ = mode; }
    void setDataMode(ConvertMode mode) { dataMode_ = mode; }
    DesignType designType() const { return designType_; }
    void setDesignType(DesignType type) { designType_ = type; }

private:
    Variant hostObject_;
    std::string interfaceCodePage_;
    std::string dataCodePage_;
    std::string systemCodePage_;
    ConvertMode displayMode_ = ConvertMode::None;
    ConvertMode dataMode_ = ConvertMode::None;
    DesignType designType_ = DesignType::dtClient;
};

} // namespace orvane
