#pragma once
// TCodeConverter: the interface-language converter every program form carries as "ZtConverter".
// It reads the code pages and conversion modes from the host configuration, converts texts
// between Big5 and GB through the shell's host object, converts a whole form's texts once,
// chooses fonts by mode, and shows error boxes in the mode's font. Client thread only.

#include "platform/text/CodePage.h"
#include "platform/variant/Variant.h"
#include "services/OrvaneINI.h"

#include <QFont>
#include <QObject>

#include <optional>
#include <string>
#include <string_view>

class QFont;
class QWidget;

namespace orvane {

class TCodeConverter : public QObject {
    Q_OBJECT
public:
    enum class TDesignType : std::uint8_t { dtClient = 0, dtServer = 1 };

    // The component is named "ZtConverter" and owned by parent (the form).
    explicit TCodeConverter(QObject* parent = nullptr);

    // Copies the three code pages and the two modes from the host configuration.
    void ReadConfiguration(const TOrvaneIniC& configuration);
    void ReadConfiguration();

    void setHostObject(Variant host) { hostObject_ = std::move(host); }
    const Variant& hostObject() const { return hostObject_; }

    // The value converted in mode (arrays element by element); mode 0, 3, 4, empty and null
    // values are returned unchanged.
    Variant Convert(const Variant& value, ConvertMode mode) const;
    Variant DisplayConvert(const Variant& value) const { return Convert(value, displayMode_); }
    Variant DataConvert(const Variant& value) const { return Convert(value, dataMode_); }
    // One text through the host methods "Big5ToGB" / "GBToBig5" (unchanged without a host).
    std::string Big5ToGB(std::string text) const;
    std::string GBToBig5(std::string text) const;

    // Sets the font's family by the mode: "SimSun", then a Simplified (GB modes) or Traditional
    // (Big5 modes) Chinese fallback family standing for the character set. Other modes leave it.
    static void ChooseFont(QFont& font, ConvertMode mode);
    // The application font chosen for the mode; none for a mode outside the table.
    static std::optional<QFont> DialogFont(ConvertMode mode);
    // The code page a text shown in the mode is in: GB for modes 1 and 4, Big5 for 2 and 3, the
    // installation's for mode 0.
    static text::CodePage textCodePage(ConvertMode mode);
    // Converts the texts of every component the form owns, in the display mode.
    void ConvertForm(QWidget& form) const;
    // An error box with the text (client code page) converted in the display mode.
    void ShowError(std::string_view text) const;

    const std::string& interfaceCodePage() const { return interfaceCodePage_; }
    const std::string& dataCodePage() const { return dataCodePage_; }
    const std::string& systemCodePage() const { return systemCodePage_; }
    ConvertMode displayMode() const { return displayMode_; }
    ConvertMode dataMode() const { return dataMode_; }
    void setDisplayMode(ConvertMode mode) { displayMode_ = mode; }
    void setDataMode(ConvertMode mode) { dataMode_ = mode; }
    TDesignType designType() const { return designType_; }
    void setDesignType(TDesignType type) { designType_ = type; }

private:
    // A widget text converted in mode; characters the source code page lacks are kept as they are.
    QString convertText(const QString& text, ConvertMode mode) const;
    // The form's caption for error boxes: the owning window's title, else the application's name.
    QString caption() const;

    Variant hostObject_;
    std::string interfaceCodePage_;
    std::string dataCodePage_;
    std::string systemCodePage_;
    ConvertMode displayMode_ = ConvertMode::None;
    ConvertMode dataMode_ = ConvertMode::None;
    TDesignType designType_ = TDesignType::dtClient;
};

} // namespace orvane
