#pragma once
// TDDObject: the object dictionary of one program object applied to a form's components. Each
// row of "DDOBJ" + language + ".cds" whose object (MO002) is the object, without regard to case,
// names a component (MO003), a property path (MO005, parts separated by ".") and a value
// (MO006; null rows are skipped). The path is walked through Qt properties by name (any case;
// "Caption" and "Hint" name a control's text and tool tip); a font is walked into its "Name",
// "Size", "Style" and "Color". The last property takes the value by its kind: texts as they
// stand; whole numbers as a number, a colour, cursor or character-set identifier; colours as an
// identifier or a number (blue, green, red from the high byte down); cursors as an identifier or
// a number; enumerations by name; sets (flags, a font's style) as "[a, b]"; booleans as "True" or
// "False". A row whose component the form lacks is skipped (a program's rows serve all its
// windows); a path or value that does not fit is skipped and logged; the other rows still apply.
// A form applies its rows to its own components only: a window made inside it (a dialog, a
// query window) is a dictionary object of its own, named by its object name, so two windows
// may each have a "btnOK" without one taking the other's texts.
// Client (GUI) thread only.

#include <QObject>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class DictionaryRows;

class TDDObject {
public:
    // Applies the dictionary of objectName in langType from the client's C_DATA folder to form.
    static void Apply(std::string_view langType, std::string_view objectName, QObject& form);
    // The same from the dictionary files of folder; answers the number of rows applied.
    static int Apply(const std::string& folder, std::string_view langType, std::string_view objectName, QObject& form);
    // Applies the rows of the window's own object (its object name) in the client's interface
    // language to it: how a dialog, the query window or the progress window follow the language.
    static void ApplyOwnTexts(QObject& window);
    // A text of a window that no component property holds (a list item, a column title): the
    // row of the window's own object whose component names that part, in the client's interface
    // language; designText when the dictionary has none.
    static QString OwnText(const QObject& window, std::string_view part, const char8_t* designText);
    // The same for the window of that object name, before it is made.
    static QString OwnText(std::string_view objectName, std::string_view part, const char8_t* designText);
    // Numbered texts (column or row titles): the parts prefix + "1", prefix + "2" ..., one per design text.
    static std::vector<QString> OwnTexts(std::string_view objectName, std::string_view prefix,
                                         std::initializer_list<const char8_t*> designTexts);
    // Sets one property path of target from a value text; false (logged) when it does not fit.
    static bool SetPropertyPath(QObject& target, std::string_view path, std::string_view value);

private:
    static void skip(std::string_view what, std::string_view why);
};

} // namespace orvane
