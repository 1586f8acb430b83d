#pragma once
// TCodeConverter: the interface-language converter every program form carries as "ZtConverter".
// On top of the text conversion (CodeConversion: code pages, modes, Big5 and GB through the
// shell's host object) it converts a whole form's texts once, chooses fonts by mode, and shows
// error boxes in the mode's font. Client thread only.

#include "services/CodeConversion.h"

#include <QFont>
#include <QObject>

#include <optional>
#include <string>
#include <string_view>

class QFont;
class QWidget;

namespace orvane {

class TCodeConverter : public QObject, public CodeConversion {
    Q_OBJECT
public:
    // The component is named "ZtConverter" and owned by parent (the form).
    explicit TCodeConverter(QObject* parent = nullptr);

    // Sets the font's family by the mode: "SimSun", then a Simplified (GB modes) or Traditional
    // (Big5 modes) Chinese fallback family standing for the character set. Other modes leave it.
    static void ChooseFont(QFont& font, ConvertMode mode);
    // The application font chosen for the mode; none for a mode outside the table.
    static std::optional<QFont> DialogFont(ConvertMode mode);
    // Converts the texts of every component the form owns, in the display mode.
    void ConvertForm(QWidget& form) const;
    // An error box with a text already in the interface's code page (the client's own words, a
    // dictionary text), shown as it is in the mode's font. A server's text is converted first
    // (DataConvert), once.
    void ShowError(std::string_view text) const;

private:
    // A widget text converted in mode; characters the source code page lacks are kept as they are.
    QString convertText(const QString& text, ConvertMode mode) const;
    // The form's caption for error boxes: the owning window's title, else the application's name.
    QString caption() const;
};

} // namespace orvane
