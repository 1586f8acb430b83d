#include "framework/DDObject.h"

#include "framework/ZtForm.h"
#include "platform/text/ByteText.h"
#include "services/DictionaryFiles.h"
#include "services/InterfaceTexts.h"
#include "services/LibSys.h"
#include "services/OrvaneINI.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QHash>
#include <QMetaProperty>
#include <QPalette>
#include <QTabWidget>
#include <QWidget>

#include <charconv>
#include <optional>
#include <vector>

namespace orvane {

namespace {

struct Identifier {
    const char* name;
    int value;
};

// Colours by identifier, as numbers whose low byte is red and third byte blue.
constexpr Identifier colourIds[] = {
    {"clBlack", 0x000000},      {"clMaroon", 0x000080},  {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000},       {"clPurple", 0x800080},  {"clTeal", 0x808000},  {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},     {"clRed", 0x0000FF},     {"clLime", 0x00FF00},  {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},       {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},  {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
};

// Colours of the running style, by identifier.
struct SystemColour {
    const char* name;
    QPalette::ColorRole role;
};
constexpr SystemColour systemColours[] = {
    {"clBtnFace", QPalette::Button},      {"clWindow", QPalette::Base},
    {"clWindowText", QPalette::Text},     {"clBtnText", QPalette::ButtonText},
    {"clInfoBk", QPalette::ToolTipBase},  {"clInfoText", QPalette::ToolTipText},
    {"clHighlight", QPalette::Highlight}, {"clHighlightText", QPalette::HighlightedText},
    {"clBtnShadow", QPalette::Dark},      {"clBtnHighlight", QPalette::Light},
};

constexpr Identifier cursorIds[] = {
    {"crDefault", 0},     {"crNone", -1},     {"crArrow", -2},    {"crCross", -3},     {"crIBeam", -4},
    {"crSizeNESW", -6},   {"crSizeNS", -7},   {"crSizeNWSE", -8}, {"crSizeWE", -9},    {"crUpArrow", -10},
    {"crHourGlass", -11}, {"crDrag", -12},    {"crNoDrop", -13},  {"crHSplit", -14},   {"crVSplit", -15},
    {"crMultiDrag", -16}, {"crSQLWait", -17}, {"crNo", -18},      {"crAppStart", -19}, {"crHelp", -20},
    {"crHandPoint", -21}, {"crSizeAll", -22},
};
// The shapes of the cursor numbers above, in the same order.
constexpr Qt::CursorShape cursorShapes[] = {
    Qt::ArrowCursor,        Qt::BlankCursor,    Qt::ArrowCursor,     Qt::CrossCursor,   Qt::IBeamCursor,
    Qt::SizeBDiagCursor,    Qt::SizeVerCursor,  Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,
    Qt::WaitCursor,         Qt::DragMoveCursor, Qt::ForbiddenCursor, Qt::SplitHCursor,  Qt::SplitVCursor,
    Qt::DragCopyCursor,     Qt::WaitCursor,     Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor,
    Qt::PointingHandCursor, Qt::SizeAllCursor,
};

constexpr Identifier charsetIds[] = {
    {"ANSI_CHARSET", 0},          {"DEFAULT_CHARSET", 1},   {"SYMBOL_CHARSET", 2},    {"MAC_CHARSET", 77},
    {"SHIFTJIS_CHARSET", 128},    {"HANGEUL_CHARSET", 129}, {"JOHAB_CHARSET", 130},   {"GB2312_CHARSET", 134},
    {"CHINESEBIG5_CHARSET", 136}, {"GREEK_CHARSET", 161},   {"TURKISH_CHARSET", 162}, {"HEBREW_CHARSET", 177},
    {"ARABIC_CHARSET", 178},      {"BALTIC_CHARSET", 186},  {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},
    {"EASTEUROPE_CHARSET", 238},  {"OEM_CHARSET", 255},
};

template <std::size_t N>
std::optional<int> lookUp(const Identifier (&table)[N], std::string_view name)
{
    for (const Identifier& entry : table) {
        if (text::equalsIgnoringAsciiCase(entry.name, name))
            return entry.value;
    }
    return std::nullopt;
}

// A decimal number, or a hexadecimal one after "$" or "0x".
std::optional<long long> numberOf(std::string_view value)
{
    const std::string trimmed = text::trim(value);
    std::string_view digits = trimmed;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative)
        digits.remove_prefix(1);
    int base = 10;
    if (digits.starts_with('$')) {
        digits.remove_prefix(1);
        base = 16;
    } else if (digits.starts_with("0x") || digits.starts_with("0X")) {
        digits.remove_prefix(2);
        base = 16;
    }
    long long number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return negative ? -number : number;
}

QColor colourOfNumber(long long number)
{
    return QColor(static_cast<int>(number & 0xFF), static_cast<int>((number >> 8) & 0xFF),
                  static_cast<int>((number >> 16) & 0xFF));
}

std::optional<QColor> colourOf(std::string_view value)
{
    const std::string name = text::trim(value);
    for (const SystemColour& entry : systemColours) {
        if (text::equalsIgnoringAsciiCase(entry.name, name))
            return QApplication::palette().color(entry.role);
    }
    if (const auto id = lookUp(colourIds, name))
        return colourOfNumber(*id);
    if (const auto number = numberOf(name); number && *number >= 0 && *number <= 0xFFFFFF)
        return colourOfNumber(*number);
    const QColor named = QColor::fromString(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    return named.isValid() ? std::optional<QColor>(named) : std::nullopt;
}

std::optional<Qt::CursorShape> cursorOf(std::string_view value)
{
    std::optional<long long> code = lookUp(cursorIds, text::trim(value));
    if (!code)
        code = numberOf(value);
    for (std::size_t i = 0; code && i < std::size(cursorIds); ++i) {
        if (cursorIds[i].value == *code)
            return cursorShapes[i];
    }
    return std::nullopt;
}

// A whole number: a character-set, colour or cursor identifier, or else a number.
std::optional<long long> integerOf(std::string_view value)
{
    const std::string name = text::trim(value);
    if (const auto id = lookUp(charsetIds, name))
        return *id;
    if (const auto id = lookUp(colourIds, name))
        return *id;
    if (const auto id = lookUp(cursorIds, name))
        return *id;
    return numberOf(name);
}

// The elements of "[a, b]", blanks trimmed; nothing when the brackets are missing.
std::optional<std::vector<std::string>> setElements(std::string_view value)
{
    const std::string trimmed = text::trim(value);
    if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']')
        return std::nullopt;
    std::vector<std::string> elements;
    std::string_view inner = std::string_view(trimmed).substr(1, trimmed.size() - 2);
    while (!inner.empty()) {
        const std::size_t comma = inner.find(',');
        const std::string element = text::trim(inner.substr(0, comma));
        if (!element.empty())
            elements.push_back(element);
        inner = comma == std::string_view::npos ? std::string_view() : inner.substr(comma + 1);
    }
    return elements;
}

// A font style element, with or without its "fs" prefix.
bool setFontStyle(QFont& font, std::string_view element, bool on)
{
    std::string_view name = element;
    if (name.size() > 2 && text::equalsIgnoringAsciiCase(name.substr(0, 2), "fs"))
        name.remove_prefix(2);
    if (text::equalsIgnoringAsciiCase(name, "Bold"))
        font.setBold(on);
    else if (text::equalsIgnoringAsciiCase(name, "Italic"))
        font.setItalic(on);
    else if (text::equalsIgnoringAsciiCase(name, "Underline"))
        font.setUnderline(on);
    else if (text::equalsIgnoringAsciiCase(name, "StrikeOut"))
        font.setStrikeOut(on);
    else
        return false;
    return true;
}

// The property of that name (any case); "Caption" and "Hint" name a control's text and tip.
QMetaProperty findProperty(const QObject& object, std::string_view name)
{
    std::vector<std::string_view> names{name};
    if (text::equalsIgnoringAsciiCase(name, "Caption"))
        names = {"text", "title", "windowTitle"};
    else if (text::equalsIgnoringAsciiCase(name, "Hint"))
        names = {"toolTip"};
    const QMetaObject* meta = object.metaObject();
    for (const std::string_view wanted : names) {
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (text::equalsIgnoringAsciiCase(property.name(), wanted))
                return property;
        }
    }
    return {};
}

std::vector<std::string> pathParts(std::string_view path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t dot = std::min(path.find('.', start), path.size());
        parts.push_back(text::trim(path.substr(start, dot - start)));
        start = dot + 1;
    }
    return parts;
}

// Why a value does not fit, or nothing once it is set.
using Outcome = std::optional<std::string>;

Outcome setFontPart(QWidget& widget, std::string_view part, std::string_view value)
{
    QFont font = widget.font();
    if (text::equalsIgnoringAsciiCase(part, "Name")) {
        font.setFamily(text::toQString(text::trim(value)));
    } else if (text::equalsIgnoringAsciiCase(part, "Size")) {
        const auto size = numberOf(value);
        if (!size || *size <= 0 || *size > 200)
            return "a font size of 1 to 200 is expected";
        font.setPointSize(static_cast<int>(*size));
    } else if (text::equalsIgnoringAsciiCase(part, "Style")) {
        const auto elements = setElements(value);
        if (!elements)
            return "a set in brackets is expected";
        for (const char* style : {"Bold", "Italic", "Underline", "StrikeOut"})
            setFontStyle(font, style, false);
        for (const std::string& element : *elements)
            setFontStyle(font, element, true);
    } else if (text::equalsIgnoringAsciiCase(part, "Color")) {
        const auto colour = colourOf(value);
        if (!colour)
            return "not a colour";
        QPalette palette = widget.palette();
        palette.setColor(QPalette::WindowText, *colour);
        palette.setColor(QPalette::Text, *colour);
        palette.setColor(QPalette::ButtonText, *colour);
        widget.setPalette(palette);
        return std::nullopt;
    } else {
        return "a font has no property " + std::string(part);
    }
    widget.setFont(font);
    return std::nullopt;
}

Outcome setEnumeration(QObject& object, const QMetaProperty& property, std::string_view value)
{
    const QMetaEnum enumeration = property.enumerator();
    if (property.isFlagType()) {
        const auto elements = setElements(value);
        if (!elements)
            return "a set in brackets is expected";
        int flags = 0;
        for (const std::string& element : *elements) {
            bool known = false;
            const int bits = enumeration.keyToValue(element.c_str(), &known);
            // Elements past the 32 a set can hold are ignored, as are unknown names.
            if (known)
                flags |= bits;
        }
        property.write(&object, flags);
        return std::nullopt;
    }
    bool known = false;
    const int number = enumeration.keyToValue(text::trim(value).c_str(), &known);
    if (!known)
        return "not a value of " + std::string(enumeration.name());
    property.write(&object, number);
    return std::nullopt;
}

Outcome setValue(QObject& object, const QMetaProperty& property, std::string_view value)
{
    if (property.isEnumType())
        return setEnumeration(object, property, value);
    switch (property.metaType().id()) {
    case QMetaType::QString: property.write(&object, text::toQString(value)); return std::nullopt;
    case QMetaType::Bool: {
        const std::string word = text::trim(value);
        if (!text::equalsIgnoringAsciiCase(word, "True") && !text::equalsIgnoringAsciiCase(word, "False"))
            return "True or False is expected";
        property.write(&object, text::equalsIgnoringAsciiCase(word, "True"));
        return std::nullopt;
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const auto number = integerOf(value);
        if (!number)
            return "not a number or identifier";
        property.write(&object, QVariant::fromValue(*number));
        return std::nullopt;
    }
    case QMetaType::QColor: {
        const auto colour = colourOf(value);
        if (!colour)
            return "not a colour";
        property.write(&object, *colour);
        return std::nullopt;
    }
    case QMetaType::QCursor: {
        const auto shape = cursorOf(value);
        if (!shape)
            return "not a cursor";
        property.write(&object, QCursor(*shape));
        return std::nullopt;
    }
    default: return std::string("a property of kind ") + property.metaType().name() + " is left as it is";
    }
}

// The tab widget a page lies in; null for other widgets.
QTabWidget* tabWidgetOf(QWidget& page)
{
    QWidget* stack = page.parentWidget();
    auto* pages = stack != nullptr ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    return pages != nullptr && pages->indexOf(&page) >= 0 ? pages : nullptr;
}

Outcome setPath(QObject& target, std::string_view path, std::string_view value)
{
    const std::vector<std::string> parts = pathParts(path);
    QObject* object = &target;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget != nullptr && i + 2 == parts.size() && text::equalsIgnoringAsciiCase(parts[i], "Font"))
            return setFontPart(*widget, parts.back(), value);
        const QMetaProperty property = findProperty(*object, parts[i]);
        if (!property.isValid())
            return "no property " + parts[i];
        object = property.read(object).value<QObject*>();
        if (object == nullptr)
            return parts[i] + " is not an object";
    }
    if (auto* page = qobject_cast<QWidget*>(object);
        page != nullptr && text::equalsIgnoringAsciiCase(parts.back(), "Caption")) {
        // A page's caption is its tab's text.
        if (auto* pages = tabWidgetOf(*page)) {
            pages->setTabText(pages->indexOf(page), text::toQString(value));
            return std::nullopt;
        }
    }
    const QMetaProperty property = findProperty(*object, parts.back());
    if (!property.isValid() || !property.isWritable())
        return "no property " + parts.back() + " to write";
    return setValue(*object, property, value);
}

// True when object lies in a form made inside form (a dialog the form keeps): that form is an
// object of its own and applies its own rows.
bool inNestedForm(const QObject& object, const QObject& form)
{
    for (const QObject* parent = object.parent(); parent != nullptr && parent != &form; parent = parent->parent()) {
        if (qobject_cast<const TZtForm*>(parent) != nullptr)
            return true;
    }
    return false;
}

} // namespace

int TDDObject::Apply(const std::string& folder, std::string_view langType, std::string_view objectName, QObject& form)
{
    const std::shared_ptr<const DictionaryRows> rows =
        sharedDictionaryFile(std::filesystem::path(folder) / dictionaryFileName(DictionaryFile::Objects, langType));
    if (!rows)
        return 0;
    const int component = rows->column("MO003");
    const int path = rows->column("MO005");
    const int value = rows->column("MO006");
    const std::vector<std::size_t> selected = rows->rowsOf(rows->column("MO002"), objectName);
    if (selected.empty())
        return 0;
    // One walk over the form's objects instead of a search per row; the first of a name wins,
    // as a search would find it.
    QHash<QString, QObject*> named;
    for (QObject* child : form.findChildren<QObject*>()) {
        if (!named.contains(child->objectName()) && !inNestedForm(*child, form))
            named.insert(child->objectName(), child);
    }
    named.insert(form.objectName(), &form);
    int applied = 0;
    for (const std::size_t row : selected) {
        if (rows->isNull(row, value))
            continue;
        QObject* target = named.value(text::toQString(rows->text(row, component)));
        // A program's rows serve all its windows: a component another window holds is no fault.
        if (target != nullptr && SetPropertyPath(*target, rows->text(row, path), rows->text(row, value)))
            ++applied;
    }
    return applied;
}

void TDDObject::Apply(std::string_view langType, std::string_view objectName, QObject& form)
{
    Apply(dictionaryFolder().string(), langType, objectName, form);
}

void TDDObject::ApplyOwnTexts(QObject& window)
{
    const TOrvaneIniC configuration;
    if (configuration.clientPath().empty() || window.objectName().isEmpty())
        return;
    Apply(configuration.langType(), text::fromQString(window.objectName()), window);
}

QString TDDObject::OwnText(const QObject& window, std::string_view part, const char8_t* designText)
{
    return OwnText(text::fromQString(window.objectName()), part, designText);
}

QString TDDObject::OwnText(std::string_view objectName, std::string_view part, const char8_t* designText)
{
    // The dictionary's texts are in the installation's code page, the design texts in UTF-8.
    const std::optional<std::string> found = InterfaceTexts::current()->find(objectName, part);
    return found ? text::toQString(*found) : text::utf8(designText);
}

std::vector<QString> TDDObject::OwnTexts(std::string_view objectName, std::string_view prefix,
                                         std::initializer_list<const char8_t*> designTexts)
{
    std::vector<QString> texts;
    for (const char8_t* designText : designTexts)
        texts.push_back(OwnText(objectName, std::string(prefix) + std::to_string(texts.size() + 1), designText));
    return texts;
}

bool TDDObject::SetPropertyPath(QObject& target, std::string_view path, std::string_view value)
{
    const Outcome outcome = setPath(target, path, value);
    if (outcome)
        skip(text::fromQString(target.objectName()) + "." + std::string(path) + " = \"" + std::string(value) + "\"",
             *outcome);
    return !outcome;
}

void TDDObject::skip(std::string_view what, std::string_view why)
{
    WriteLog(dictionaryLogSource, "component row skipped: " + std::string(what) + ": " + std::string(why), "D");
}

} // namespace orvane
