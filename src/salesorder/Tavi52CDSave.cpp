// The line post (quantity step, selling-price floor, default packing), which line fields may be
// typed, the sub-line checks with the component quantity, and the shipping-mark texts.
#include "salesorder/Tavi52CD.h"

#include "framework/KnlVozuraz.h"
#include "platform/text/ByteText.h"
#include "platform/text/Rounding.h"
#include "platform/variant/NumberText.h"
#include "services/Brokers.h"

#include <algorithm>
#include <array>

namespace orvane {

namespace {

// Column i of a row as a number; an empty column or one that is no number counts 0.
double columnNumber(const Variant& row, int column)
{
    return text::tryParseFloat(text::trim(row[row.lowBound() + column].toString())).value_or(0.0);
}

std::string columnText(const Variant& row, int column)
{
    return row[row.lowBound() + column].toString();
}

// The full-width backslash that shows a mark's line break in the window's code page.
std::string_view markBreak(std::string_view codePage)
{
    return codePage == "950" ? std::string_view("\xA2\x40", 2) : std::string_view("\xA3\xDC", 2);
}

// The line number as the lifted-lines list shows it: "0003" is 3.
std::string listedLineNumber(const std::string& number)
{
    const std::string trimmed = text::trim(number);
    const std::size_t digits = trimmed.find_first_not_of('0');
    if (trimmed.empty() || trimmed.find_first_not_of("0123456789") != std::string::npos)
        return trimmed;
    return digits == std::string::npos ? "0" : trimmed.substr(digits);
}

} // namespace

// The line post ----------------------------------------------------------------------------

void TdmTavi52::cdsBody1BeforePost(DataSet& dataSet)
{
    TdmDouble::cdsBody1BeforePost(dataSet);
    if (switches_->checksEnabled() && SystemParameter("SYS024") == "2") {
        const std::string selected = switches_->selectedLineField();
        const std::vector<std::string> columns = switches_->quantityColumns();
        Field* field = selected.empty() ? nullptr : cdsBody1.findField(selected);
        if (field != nullptr && std::ranges::find(columns, field->name()) != columns.end() &&
            Number(cdsBody1, field->name()) != 0)
            switches_->runQuantityStep(*field);
    }
    if (Text(cdsBody1, "TD004C2") == "Y" && !passesPriceFloor())
        Refuse("E", "100343");
    const std::string item = Text(cdsBody1, "TD004");
    const std::string unit = Text(cdsBody1, "TD010");
    if (switches_->defaultPacking() && !item.empty() && !unit.empty()) {
        Variant packing;
        if (brokers()->CheckValue("EPSMB", "02", Variant::arrayOf({item, unit}), packing) && packing.isArray())
            Assign(cdsBody1, "TD029", columnText(packing, 0));
        CalcLineWeight();
    }
}

bool TdmTavi52::passesPriceFloor()
{
    Variant type;
    if (!RowLookup("CMSMQ", "36", Variant::arrayOf({Text(cdsMain, "TC001"), "22", "27", "", brokers()->userId()}),
                   type) ||
        columnText(type, 10) != "Y")
        return true;
    const double quantity = MoneyQuantity("QtyDTos");
    const double standard = text::tryParseFloat(text::trim(CopUnitPrice().toString())).value_or(0.0);
    const int groupDecimals = FNumberLength(6);
    const int decimals = groupDecimals < 0 ? 6 : groupDecimals;
    const double floor = text::roundTo((1 - Number(cdsBody1, "TD004C3")) * quantity * standard, decimals);
    if (!(Number(cdsBody1, "TD012") < floor))
        return true;
    if (!switches_->liftBelowFloor())
        return false;
    {
        const SwitchedOff amounts(*switches_, FormSwitch::AmountRecalculation);
        Assign(cdsBody1, "TD011", text::floatToText(standard));
        Assign(cdsBody1, "TD026", "100");
        Assign(cdsBody1, "TD012", text::floatToText(quantity * standard));
    }
    // The net and tax follow the lifted amount, also where the amount's own check is taken off
    // (a copied order's lines), or the order's totals would sum the amount below the floor.
    SplitLineTax();
    const std::string lifted = switches_->liftedLines();
    const std::string number = listedLineNumber(Text(cdsBody1, "TD003"));
    switches_->setLiftedLines(lifted.empty() ? number : lifted + ", " + number);
    return true;
}

// Field access -----------------------------------------------------------------------------

void TdmTavi52::cdsBody1AfterScroll(DataSet& /*dataSet*/)
{
    const RecordMode mode = ownerMode();
    if (switches_->checksEnabled() && (mode == RecordMode::Edit || mode == RecordMode::Add))
        RefreshLineFieldAccess();
}

void TdmTavi52::RefreshLineFieldAccess()
{
    lineHasItem_ = !Text(cdsBody1, "TD004C4").empty();
    if (const std::string unitMode = SystemParameter("SYS024"); unitMode == "1" || unitMode == "2" || unitMode == "3") {
        cdsBody1.fieldByName("TD010").setReadOnly(unitMode == "2");
        cdsBody1.fieldByName("TD023").setReadOnly(true);
        cdsBody1.fieldByName("TD036").setReadOnly(true);
    }
    const bool fixedName = Text(cdsBody1, "TD004C") == "N";
    cdsBody1.fieldByName("TD005").setReadOnly(fixedName);
    cdsBody1.fieldByName("TD006").setReadOnly(fixedName);
    const bool noPackage = Text(cdsBody1, "TD036").empty();
    cdsBody1.fieldByName("TD032").setReadOnly(noPackage);
    cdsBody1.fieldByName("TD034").setReadOnly(noPackage);
}

// Sub-lines --------------------------------------------------------------------------------

void TdmTavi52::cdsFootTM004SetText(Field& field, std::string_view text)
{
    if (subLineChecksOn())
        BarCodeFieldSetText(field, text);
    else
        field.setAsString(text);
}

void TdmTavi52::cdsFootTM006SetText(Field& field, std::string_view text)
{
    cdsFootTM004SetText(field, text);
}

void TdmTavi52::cdsFootTM004Validate(Field& field)
{
    // An empty option is left to the required-field check of the post.
    if (!subLineChecksOn() || field.asString().empty())
        return;
    Variant row;
    if (!RowLookup("BOMMD", "05", Variant::arrayOf({Text(cdsBody1, "TD004"), field.asString()}), row))
        Refuse("E", "100276");
    const std::string type = columnText(row, 3);
    if (type != "O" && type != "F")
        Refuse("E", "100276");
    Assign(cdsFoot, "TM004C", columnText(row, 1));
    Assign(cdsFoot, "TM004C1", columnText(row, 2));
    Assign(cdsFoot, "TM005", type);
    Assign(cdsFoot, "TM006", "");
}

void TdmTavi52::cdsFootTM006Validate(Field& field)
{
    const std::string component = field.asString();
    if (!subLineChecksOn() || component.empty())
        return;
    Variant item;
    if (!brokers()->CheckValue("INVMB", "01", Variant::arrayOf({component}), item) || !item.isArray())
        Refuse("E", "000001", {field.displayLabel()});
    if (columnNumber(item, 0) != 0) {
        if (const std::string partType = columnText(item, 8);
            !partType.empty() && std::string_view("F,O").find(partType) != std::string_view::npos)
            Refuse("E", "100277");
        Assign(cdsFoot, "TM006C", columnText(item, 1));
        Assign(cdsFoot, "TM006C1", columnText(item, 2));
    }
    Variant structure;
    if (!RowLookup("COPTD", "17",
                   Variant::arrayOf(
                       {Text(cdsBody1, "TD004"), Text(cdsFoot, "TM004"), Text(cdsFoot, "TM005"), "Y", "N", component}),
                   structure))
        Refuse("E", "000001", {field.displayLabel()});
    std::array<double, 15> c{};
    for (int column = 7; column <= 14; ++column)
        c[column] = columnNumber(structure, column);
    double quantity = 0;
    if (c[7] != 0 && c[9] != 0 && c[11] != 0 && c[13] != 0)
        quantity =
            switches_->optionLinesQuantity() / c[7] * c[8] / c[9] * (1 + c[10]) / c[11] * c[12] / c[13] * (1 + c[14]);
    Assign(cdsFoot, "TM008", columnText(structure, 3));
    Assign(cdsFoot, "TM009", columnText(structure, 4));
    Assign(cdsFoot, "TM010", columnText(structure, 5));
    Assign(cdsFoot, "TM007", text::floatToText(quantity));
}

double TdmTavi52::ComponentQuantity(double lineQuantity, const std::array<double, 8>& factors)
{
    const auto& [c7, c8, c9, c10, c11, c12, c13, c14] = factors;
    if (c7 == 0 || c9 == 0 || c11 == 0 || c13 == 0)
        return 0;
    return lineQuantity / c7 * c8 / c9 * (1 + c10) / c11 * c12 / c13 * (1 + c14);
}

void TdmTavi52::cdsFootTM007Validate(Field& field)
{
    if (subLineChecksOn() && !field.isNull() && field.asFloat() < 0)
        Refuse("E", "100012", {field.displayLabel()});
}

void TdmTavi52::cdsFootTM010Validate(Field& field)
{
    cdsFootTM007Validate(field);
}

void TdmTavi52::cdsFootTM008Validate(Field& field)
{
    if (subLineChecksOn() && field.asString() != "****")
        CodeLookup(field, "CMSMW", "W", "", "01");
}

// Shipping marks ---------------------------------------------------------------------------

void TdmTavi52::DoMarkGetText(Field& field, std::string& text, bool displayText)
{
    DOGetText(field, text, displayText);
    const std::string_view shown = markBreak(switches_->codePage());
    std::string marked;
    for (const char c : text) {
        if (c == '\x07')
            marked += shown;
        else
            marked += c;
    }
    text = std::move(marked);
}

void TdmTavi52::DoMarkSetText(Field& field, std::string_view text)
{
    const std::string codePage = switches_->codePage();
    const std::string_view shown = markBreak(codePage);
    const text::CodePage page = codePage == "950" ? text::CodePage::Big5 : text::CodePage::Gbk;
    std::string stored;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = std::max<std::size_t>(1, text::characterLength(text, i, page));
        if (text.substr(i, length) == shown)
            stored += '\x07';
        else
            stored += text.substr(i, length);
        i += length;
    }
    DOSetText(field, stored);
}

} // namespace orvane
