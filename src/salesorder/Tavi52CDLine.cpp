// The line's field checks and pricing: the item, quantities and units, price, discount,
// amount and tax, weights, packing, reference prices and the quotation line.
#include "salesorder/Tavi52CD.h"

#include "framework/KnlVozuraz.h"
#include "platform/text/ByteText.h"
#include "platform/text/DateText.h"
#include "platform/text/TaxSplit.h"
#include "platform/variant/NumberText.h"
#include "services/Brokers.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orvane {

namespace {

// A column of a server row copied into a line field.
struct ColumnField {
    int column;
    std::string_view field;
};

// The item row (INVMB "01") into the line, in the order the check assigns them; the tax rate
// (column 30) comes between the first and the second list.
constexpr std::array<ColumnField, 10> itemColumns{{{1, "TD005"},
                                                   {2, "TD006"},
                                                   {27, "TD036"},
                                                   {28, "TD004C5"},
                                                   {3, "TD010"},
                                                   {4, "TD007"},
                                                   {5, "TD004C"},
                                                   {7, "TD023"},
                                                   {22, "TD004C2"},
                                                   {23, "TD004C3"}}};
constexpr std::array<ColumnField, 2> itemTradeColumns{{{31, "TD004C6"}, {32, "TD004C7"}}};
// The reference-price columns, also refreshed on lines filled by program.
constexpr std::array<ColumnField, 14> itemPriceColumns{{{33, "TD004C103"},
                                                        {34, "TD004C104"},
                                                        {35, "TD004C105"},
                                                        {36, "TD004C106"},
                                                        {37, "TD004C107"},
                                                        {38, "TD004C108"},
                                                        {39, "TD004C051"},
                                                        {40, "TD004C052"},
                                                        {41, "TD004C053"},
                                                        {42, "TD004C054"},
                                                        {43, "TD004C055"},
                                                        {44, "TD004C056"},
                                                        {45, "TD004C069"},
                                                        {46, "TD004C070"}}};
constexpr int itemUnitColumn = 3;
constexpr int itemPackageUnitColumn = 27; // copied into TD036
constexpr int itemFixedWeightColumn = 28; // copied into TD004C5
constexpr int itemTaxRateColumn = 30;

// The quotation line (COPTA "02") into the order line; the discount and tax rate (23, 24) are
// fractions entered as percent text.
constexpr std::array<ColumnField, 19> quotationColumns{{{1, "TD004"},
                                                        {2, "TD005"},
                                                        {3, "TD006"},
                                                        {4, "TD008"},
                                                        {5, "TD010"},
                                                        {6, "TD011"},
                                                        {7, "TD012"},
                                                        {8, "TD023"},
                                                        {9, "TD024"},
                                                        {11, "TD007"},
                                                        {12, "TD020"},
                                                        {13, "TD004C"},
                                                        {14, "TD004C4"},
                                                        {15, "TD004C2"},
                                                        {16, "TD004C3"},
                                                        {19, "TD029"},
                                                        {20, "TD030"},
                                                        {21, "TD031"},
                                                        {22, "TD014"}}};
constexpr std::array<ColumnField, 2> quotationRateColumns{{{23, "TD026"}, {24, "TD037"}}};
constexpr std::array<ColumnField, 2> quotationTaxColumns{{{25, "TD038"}, {26, "TD039"}}};
constexpr int quotationLeadDaysColumn = 10;

// A wholesale price level: the price column copied into the line and its tax-included flag.
struct PriceLevel {
    std::string_view price;
    std::string_view taxIncluded;
};
constexpr std::array<PriceLevel, 6> priceLevels{{{"TD004C053", "TD004C103"},
                                                 {"TD004C054", "TD004C104"},
                                                 {"TD004C055", "TD004C105"},
                                                 {"TD004C056", "TD004C106"},
                                                 {"TD004C069", "TD004C107"},
                                                 {"TD004C070", "TD004C108"}}};

// A quantity and its package twin in unit mode "3".
struct QuantityTwin {
    std::string_view quantity;
    std::string_view package;
};
constexpr std::array<QuantityTwin, 4> quantityTwins{
    {{"TD008", "TD032"}, {"TD009", "TD033"}, {"TD024", "TD034"}, {"TD025", "TD035"}}};

// A tax-included flag as "Y" or "N": a blank flag (an item without the setting) is "N".
std::string includedFlag(std::string_view flag)
{
    return flag == "Y" ? "Y" : "N";
}

bool noTaxType(std::string_view taxType)
{
    return taxType == "3" || taxType == "4" || taxType == "9";
}

double numberOf(const Variant& value)
{
    if (value.isInteger() || value.isFloat())
        return value.toFloat();
    return text::tryParseFloat(text::trim(value.toString())).value_or(0.0);
}

} // namespace

// Shared pieces -------------------------------------------------------------------------------

std::string TdmTavi52::rowText(const Variant& row, int column)
{
    if (!row.isArray() || row.lowBound() + column > row.highBound())
        return {};
    return row[row.lowBound() + column].toString();
}

double TdmTavi52::rowNumber(const Variant& row, int column)
{
    return text::tryParseFloat(text::trim(rowText(row, column))).value_or(0.0);
}

bool TdmTavi52::fixedWeightPackages() const
{
    return SystemParameter("SYS024") == "3" && Text(cdsBody1, "TD004C5") == "Y";
}

void TdmTavi52::assignNumber(std::string_view field, double value)
{
    Assign(cdsBody1, field, text::floatToText(value));
}

void TdmTavi52::refuseNegative(const Field& field) const
{
    if (!field.isNull() && field.asFloat() < 0)
        Refuse("E", "100012", {field.displayLabel()});
}

double TdmTavi52::convertUnits(double quantity, std::string_view from, std::string_view to)
{
    return numberOf(
        RemoteValue("UnitConvert", {Text(cdsBody1, "TD004"), quantity, std::string(from), std::string(to), 0}));
}

double TdmTavi52::lineMoneyQuantity()
{
    // No item, nothing to convert: the quantity as it stands, without a round trip.
    return Text(cdsBody1, "TD004").empty() ? Number(cdsBody1, "TD008") : MoneyQuantity("QtyDToS");
}

void TdmTavi52::setLineAmount()
{
    assignNumber("TD012", Number(cdsBody1, "TD011") * lineMoneyQuantity() * Number(cdsBody1, "TD026"));
}

void TdmTavi52::fetchLinePrice()
{
    // A line without an item has no price to ask for (the server would answer 0); a price picked
    // with the item from the price window is kept.
    if (!Text(cdsBody1, "TD004").empty() && !switches_->itemFromPriceWindow())
        Assign(cdsBody1, "TD011", CopUnitPrice().toString());
}

void TdmTavi52::fillDefaultPacking()
{
    const std::string item = Text(cdsBody1, "TD004");
    const std::string unit = Text(cdsBody1, "TD010");
    if (!item.empty() && !unit.empty())
        CodeLookup(cdsBody1.fieldByName("TD004"), "EPSMB", "N", "TD029", "02", Variant::arrayOf({item, unit}));
}

// The item check --------------------------------------------------------------------------------

void TdmTavi52::cdsBody1TD004SetText(Field& field, std::string_view text)
{
    if (switches_->amountRecalculation() && switches_->checksEnabled())
        BarCodeFieldSetText(field, text);
    else
        field.setAsString(text);
}

void TdmTavi52::cdsBody1TD004Validate(Field& field)
{
    if (!switches_->checksEnabled())
        return;
    const TBrokers::AnswerScope answers(*brokers());
    const std::string item = field.asString();
    if (item.empty()) {
        clearLineItem();
        return;
    }
    const std::string previousWarehouse = Text(cdsBody1, "TD007");
    prefetchItemCheck(item);
    Variant row;
    if (!RowLookup("INVMB", "01", Variant::arrayOf({item}), row))
        Refuse("E", "000001", {field.displayLabel()});
    // The refusals come before the line takes anything of the item: a refused code is put back
    // alone, so the line must still hold its own item's data.
    if (SystemParameter("SYS024") == "3" && text::trim(rowText(row, itemFixedWeightColumn)) == "Y" &&
        text::trim(rowText(row, itemPackageUnitColumn)).empty())
        Refuse("E", "100380");
    if (switches_->itemFromPriceWindow()) {
        Assign(cdsBody1, "TD029", "");
        Assign(cdsBody1, "TD010", "");
    }
    copyItemRow(row, previousWarehouse);
    fetchLinePrice();
    Assign(cdsBody1, "TD004C4", item);
    setLineAmount();
    RefreshLineFieldAccess();
    CheckTradeQualification();
    SetWholesalePrice();
    SetRetailPrice();
    CalcCartonCount();
    ClearLineChildren();
}

// An emptied item takes the line's item data with it; nothing is priced or asked of the
// server for no item.
void TdmTavi52::clearLineItem()
{
    lineHasItem_ = false;
    for (const std::string_view cleared : {"TD005", "TD006", "TD029", "TD010"})
        Assign(cdsBody1, cleared, "");
    Assign(cdsBody1, "TD004C4", "");
    RefreshLineFieldAccess();
    ClearLineChildren();
}

std::string TdmTavi52::itemTaxRateText(const Variant& row) const
{
    const auto rate = text::tryParseFloat(text::trim(rowText(row, itemTaxRateColumn)));
    return rate && !noTaxType(Text(cdsMain, "TC016")) ? text::floatToText(*rate * 100) : "0";
}

void TdmTavi52::copyItemRow(const Variant& row, const std::string& previousWarehouse)
{
    lineHasItem_ = true;
    // The item's unit is its stock unit: the unit check then asks nothing about it.
    Assign(cdsBody1, "TD010C1", rowText(row, itemUnitColumn));
    for (const ColumnField& copied : itemColumns)
        Assign(cdsBody1, copied.field, rowText(row, copied.column));
    Assign(cdsBody1, "TD037", itemTaxRateText(row));
    for (const ColumnField& copied : itemTradeColumns)
        Assign(cdsBody1, copied.field, rowText(row, copied.column));
    for (const ColumnField& copied : itemPriceColumns)
        Assign(cdsBody1, copied.field, rowText(row, copied.column));
    if (Text(cdsBody1, "TD007").empty())
        Assign(cdsBody1, "TD007", previousWarehouse);
    fillDefaultPacking();
}

void TdmTavi52::RefreshItemPriceColumns()
{
    if (Text(cdsBody1, "TD001").empty())
        return;
    Variant row;
    if (!RowLookup("INVMB", "01", Variant::arrayOf({Text(cdsBody1, "TD004")}), row))
        return;
    for (const ColumnField& copied : itemPriceColumns)
        Assign(cdsBody1, copied.field, rowText(row, copied.column));
}

void TdmTavi52::TakeItemTaxRate()
{
    Variant row;
    if (RowLookup("INVMB", "01", Variant::arrayOf({Text(cdsBody1, "TD004")}), row))
        Assign(cdsBody1, "TD037", itemTaxRateText(row));
}

void TdmTavi52::PriceAppendedLine()
{
    TakeItemTaxRate();
    Assign(cdsBody1, "TD011", CopUnitPrice().toString());
    setLineAmount();
    SplitLineTax();
}

// The item check's questions depend on each other's answers (the unit and warehouse on the item
// row, the packing method on the default packing), so the server follows that chain itself and
// answers them all in one call ("ItemCheck"); the handlers then ask as before and find the answers
// kept. A question whose arguments came out otherwise than foreseen simply goes to the server.
void TdmTavi52::prefetchItemCheck(const std::string& item)
{
    // The line's reference prices as the new tax rate meets them: flags as text, prices as numbers.
    std::vector<Variant> linePrices;
    for (const ColumnField& column : itemPriceColumns) {
        const Field& price = cdsBody1.fieldByName(column.field);
        linePrices.emplace_back(price.type() == FieldType::String ? Variant(price.asString())
                                                                  : Variant(Number(cdsBody1, column.field)));
    }
    const bool tradeScope = SystemParameter("SYS048") == "Y";
    const auto head = [this](std::string_view field) { return Variant(Text(cdsMain, field)); };
    brokers()->PrefetchAnswers(
        "ItemCheck",
        Variant::arrayOf({item, head("TC004"), head("TC008"), head("TC016"), head("TC039"), Number(cdsBody1, "TD008"),
                          Number(cdsBody1, "TD037"), Text(cdsBody1, "TD007"), Variant::arrayOf(std::move(linePrices)),
                          head("TC006"), tradeScope ? head("TC004C6") : Variant(std::string()),
                          tradeScope ? head("TC006C2") : Variant(std::string()), Number(cdsBody1, "TD009"),
                          Number(cdsBody1, "TD024"), Number(cdsBody1, "TD025")}));
}

void TdmTavi52::CheckTradeQualification()
{
    const std::string item = Text(cdsBody1, "TD004");
    if (SystemParameter("SYS048") != "Y" || item.empty())
        return;
    if (const std::string flag = Text(cdsBody1, "TD004C7"); flag == "1" || flag == "3")
        Refuse("E", "200081");
    checkTradeScope(Text(cdsMain, "TC004"), Text(cdsMain, "TC004C6"), "GSPTH", "200082");
    checkTradeScope(Text(cdsMain, "TC006"), Text(cdsMain, "TC006C2"), "GSPTJ", "200083");
}

void TdmTavi52::checkTradeScope(const std::string& party, const std::string& mode, std::string_view table,
                                std::string_view refusal)
{
    if (party.empty() || (mode != "1" && mode != "2"))
        return;
    const std::string item = Text(cdsBody1, "TD004");
    Variant keys = Variant::arrayOf({party, item});
    if (mode == "1") {
        Variant itemRow;
        RowLookup("GSPMA", "01", Variant::arrayOf({item}), itemRow);
        keys = Variant::arrayOf({party, item, rowText(itemRow, 2)});
    }
    Variant row;
    if (RowLookup(table, mode == "1" ? "02" : "03", keys, row))
        Refuse("E", refusal);
}

// Reference prices --------------------------------------------------------------------------

double TdmTavi52::priceForOrder(double price, const std::string& priceFlag)
{
    const std::string orderFlag = Text(cdsMain, "TC016") == "1" ? "Y" : "N";
    const std::string flag = includedFlag(priceFlag);
    // Zero is zero with or without tax: nothing to ask.
    if (flag == orderFlag || price == 0)
        return price;
    return numberOf(
        RemoteValue("ChangeTax", {price, orderFlag, flag, Text(cdsMain, "TC008"), Number(cdsBody1, "TD037")}));
}

void TdmTavi52::SetWholesalePrice()
{
    Variant row;
    if (!RowLookup("GSPMA", "01", Variant::arrayOf({Text(cdsBody1, "TD004")}), row))
        return;
    const std::string level = rowText(row, 1);
    if (level.empty() || level[0] < '1' || level[0] > '6')
        return;
    const PriceLevel& chosen = priceLevels[static_cast<std::size_t>(level[0] - '1')];
    assignNumber("TD042", priceForOrder(Number(cdsBody1, chosen.price), Text(cdsBody1, chosen.taxIncluded)));
}

void TdmTavi52::SetRetailPrice()
{
    assignNumber("TD043", priceForOrder(Number(cdsBody1, "TD004C051"), Text(cdsBody1, "TD004C052")));
}

// Price, amount and tax ----------------------------------------------------------------------

void TdmTavi52::cdsBody1TD011Validate(Field& /*field*/)
{
    if (switches_->amountRecalculation() && switches_->checksEnabled())
        setLineAmount();
}

void TdmTavi52::cdsBody1TD026Validate(Field& /*field*/)
{
    if (switches_->checksEnabled())
        setLineAmount();
}

void TdmTavi52::cdsBody1TD012Validate(Field& /*field*/)
{
    if (!switches_->checksEnabled())
        return;
    {
        const SwitchedOff amounts(*switches_, FormSwitch::AmountRecalculation);
        const double discount = Number(cdsBody1, "TD026");
        if (Number(cdsBody1, "TD011") == 0 && Number(cdsBody1, "TD008") != 0 && discount != 0) {
            // A quantity that converts to nothing gives no price rather than an infinite one.
            if (const double quantity = lineMoneyQuantity(); quantity != 0)
                assignNumber("TD011", Number(cdsBody1, "TD012") / quantity / discount);
        }
    }
    SplitLineTax();
}

void TdmTavi52::cdsBody1TD037Validate(Field& field)
{
    refuseNegative(field);
    SplitLineTax();
    SetWholesalePrice();
    SetRetailPrice();
}

void TdmTavi52::SplitLineTax()
{
    const std::string currency = Text(cdsMain, "TC008");
    Variant currencyRow;
    int decimals = FNumberLength(6) < 0 ? 6 : FNumberLength(6);
    if (RowLookup("CMSMF", "01", Variant::arrayOf({currency}), currencyRow))
        decimals = static_cast<int>(text::parseIntegerOrZero(text::trim(rowText(currencyRow, 3))));
    text::TaxSplitInput input;
    input.currency = text::trim(currency);
    input.localCurrency = text::trim(SystemParameter("SYS003"));
    input.rate = Number(cdsBody1, "TD037");
    input.taxType = text::trim(Text(cdsMain, "TC016"));
    input.exchangeRate = Number(cdsMain, "TC009");
    input.decimals = decimals;
    input.amount = Number(cdsBody1, "TD012");
    input.quantity = Number(cdsBody1, "TD008");
    input.unitPrice = Number(cdsBody1, "TD011");
    const text::TaxSplitResult split = text::splitTax(input);
    assignNumber("TD039", split[static_cast<int>(text::TaxPart::Tax)]);
    assignNumber("TD038", split[static_cast<int>(text::TaxPart::Net)]);
}

// Quantities and units -----------------------------------------------------------------------

void TdmTavi52::cdsBody1TD008Validate(Field& /*field*/)
{
    SetLineFinished();
    if (!switches_->amountRecalculation() || !switches_->checksEnabled())
        return;
    // The weight and packing lookups after the price are the same quantity after quantity.
    const TBrokers::LearnedStep lookups(*brokers(), "quantity");
    fetchLinePrice();
    CalcLineWeight();
    if (switches_->packageRecalculation() && fixedWeightPackages() && Number(cdsBody1, "TD032") == 0) {
        const SwitchedOff packages(*switches_, FormSwitch::PackageRecalculation);
        assignNumber("TD032",
                     convertUnits(Number(cdsBody1, "TD008"), Text(cdsBody1, "TD010"), Text(cdsBody1, "TD036")));
    }
}

void TdmTavi52::convertQuantityTwin(std::string_view from)
{
    if (!switches_->packageRecalculation() || !fixedWeightPackages())
        return;
    const auto twin = std::ranges::find_if(
        quantityTwins, [from](const QuantityTwin& pair) { return pair.quantity == from || pair.package == from; });
    const std::string unit = Text(cdsBody1, "TD010");
    const std::string packageUnit = Text(cdsBody1, "TD036");
    const SwitchedOff packages(*switches_, FormSwitch::PackageRecalculation);
    if (twin->package == from)
        assignNumber(twin->quantity, convertUnits(Number(cdsBody1, from), packageUnit, unit));
    else if (Number(cdsBody1, twin->package) == 0)
        assignNumber(twin->package, convertUnits(Number(cdsBody1, from), unit, packageUnit));
}

void TdmTavi52::quantityPairChanged(const Field& field, bool signChecked)
{
    if (signChecked)
        refuseNegative(field);
    SetLineFinished();
    convertQuantityTwin(field.name());
}

void TdmTavi52::cdsBody1TD009Validate(Field& field)
{
    quantityPairChanged(field, true);
}

void TdmTavi52::cdsBody1TD024Validate(Field& field)
{
    SetLineFinished();
    if (!switches_->amountRecalculation())
        return;
    convertQuantityTwin(field.name());
    CalcLineWeight();
}

void TdmTavi52::cdsBody1TD025Validate(Field& field)
{
    quantityPairChanged(field, true);
}

void TdmTavi52::cdsBody1TD032Validate(Field& field)
{
    quantityPairChanged(field, false);
}

void TdmTavi52::cdsBody1TD033Validate(Field& field)
{
    quantityPairChanged(field, true);
}

void TdmTavi52::cdsBody1TD034Validate(Field& field)
{
    quantityPairChanged(field, true);
}

void TdmTavi52::cdsBody1TD035Validate(Field& field)
{
    quantityPairChanged(field, true);
}

void TdmTavi52::cdsBody1TD036Validate(Field& field)
{
    if (switches_->packageRecalculation() && field.asString().empty())
        for (const QuantityTwin& pair : quantityTwins)
            Assign(cdsBody1, pair.package, "0");
}

void TdmTavi52::cdsBody1TD010Validate(Field& field)
{
    const std::string unit = field.asString();
    // An emptied unit (the price window's pick empties it first) has nothing to check or price.
    if (!switches_->checksEnabled() || !lineHasItem_ || unit.empty())
        return;
    const std::string item = Text(cdsBody1, "TD004");
    if (unit != Text(cdsBody1, "TD010C1")) {
        Variant found;
        if (!brokers()->CheckValue("INVMD", "02", Variant::arrayOf({item, unit}), found))
            Refuse("E", "100026");
    }
    if (switches_->amountRecalculation() && switches_->packageRecalculation() && fixedWeightPackages()) {
        const SwitchedOff amounts(*switches_, FormSwitch::AmountRecalculation);
        const SwitchedOff packages(*switches_, FormSwitch::PackageRecalculation);
        for (const QuantityTwin& pair : quantityTwins)
            assignNumber(pair.package, convertUnits(Number(cdsBody1, pair.quantity), unit, Text(cdsBody1, "TD036")));
    }
    fetchLinePrice();
    Assign(cdsBody1, "TD030", "0");
    Assign(cdsBody1, "TD031", "0");
    Assign(cdsBody1, "TD029C", "");
    Assign(cdsBody1, "TD029", "");
    fillDefaultPacking();
    CalcCartonCount();
}

void TdmTavi52::SetLineFinished()
{
    const auto n = [this](std::string_view field) { return Number(cdsBody1, field); };
    const bool ordered = (n("TD008") <= n("TD009") && n("TD009") != 0) ||
                         (n("TD032") <= n("TD033") && n("TD033") != 0) ||
                         (n("TD008") == 0 && n("TD032") == 0 && (n("TD025") != 0 || n("TD035") != 0));
    const bool free = (n("TD024") <= n("TD025") && n("TD025") != 0) || (n("TD034") <= n("TD035") && n("TD035") != 0) ||
                      (n("TD024") == 0 && n("TD034") == 0 && (n("TD009") != 0 || n("TD033") != 0));
    Assign(cdsBody1, "TD016", ordered && free ? "Y" : "N");
}

// Weights, volumes, packing and cartons --------------------------------------------------------

namespace {

// Q ÷ n rounded up to whole cartons.
double cartons(double quantity, double perCarton)
{
    const double exact = quantity / perCarton;
    return exact == std::floor(exact) ? exact : std::floor(exact) + 1;
}

} // namespace

void TdmTavi52::CalcLineWeight()
{
    const std::string item = Text(cdsBody1, "TD004");
    const std::string unit = Text(cdsBody1, "TD010");
    const double quantity = Number(cdsBody1, "TD008") + Number(cdsBody1, "TD024");
    if (Text(cdsBody1, "TD029").empty()) {
        Assign(cdsBody1, "TD029C", "");
        Assign(cdsBody1, "TD030", "0");
        Assign(cdsBody1, "TD031", "0");
        Variant row;
        if (!RowLookup("INVMB", "03", Variant::arrayOf({item}), row) || quantity == 0)
            return;
        if (unit == rowText(row, 26)) {
            assignNumber("TD030", quantity * rowNumber(row, 18));
            assignNumber("TD031", quantity * rowNumber(row, 19));
        } else if (unit == rowText(row, 7) && rowNumber(row, 16) != 0) {
            const double perCarton = rowNumber(row, 16);
            const double whole = std::floor(quantity / perCarton);
            const double part = quantity / perCarton - whole;
            assignNumber("TD030", part == 0 ? quantity / perCarton * rowNumber(row, 18)
                                            : whole * rowNumber(row, 18) + part * perCarton * rowNumber(row, 33) +
                                                  rowNumber(row, 18) - rowNumber(row, 17));
            assignNumber("TD031", quantity / perCarton * rowNumber(row, 19));
        }
        return;
    }
    if (item.empty() || unit.empty())
        return;
    Variant packing;
    if (!RowLookup("EPSMC", "01", Variant::arrayOf({item, unit, Text(cdsBody1, "TD029")}), packing))
        Refuse("E", "000001", {cdsBody1.fieldByName("TD029").displayLabel()});
    Assign(cdsBody1, "TD029C", rowText(packing, 1));
    const double perOuter = rowNumber(packing, 2);
    if (quantity == 0 || perOuter == 0) {
        Assign(cdsBody1, "TD030", "0");
        Assign(cdsBody1, "TD031", "0");
        return;
    }
    const double perInner = rowNumber(packing, 9);
    const double inner = perInner == 0 ? 0 : cartons(quantity, perInner);
    Variant unitRow;
    const double unitWeight =
        brokers()->CheckValue("EPSMB", "02", Variant::arrayOf({item, unit}), unitRow) ? rowNumber(unitRow, 3) : 0.0;
    assignNumber("TD030", cartons(quantity, perOuter) * rowNumber(packing, 12) + inner * rowNumber(packing, 11) +
                              quantity * unitWeight);
    assignNumber("TD031", quantity / perOuter * rowNumber(packing, 5));
}

void TdmTavi52::cdsBody1TD029Validate(Field& /*field*/)
{
    CalcLineWeight();
}

void TdmTavi52::CalcCartonCount()
{
    const std::string unit = Text(cdsBody1, "TD010");
    if (Text(cdsBody1, "TD004").empty()) {
        Assign(cdsBody1, "TD041", "0");
        return;
    }
    const double quantity =
        numberOf(RemoteValue("QtyDToS", {Text(cdsBody1, "TD004"), Number(cdsBody1, "TD008"), 0, unit, unit}));
    const double perCarton = Number(cdsBody1, "TD040");
    assignNumber("TD041", perCarton != 0 ? quantity / perCarton : 0.0);
}

void TdmTavi52::cdsBody1TD040Validate(Field& field)
{
    refuseNegative(field);
    CalcCartonCount();
}

void TdmTavi52::cdsBody1TD041Validate(Field& field)
{
    refuseNegative(field);
}

void TdmTavi52::cdsBody1TD030Validate(Field& field)
{
    refuseNegative(field);
}

void TdmTavi52::cdsBody1TD031Validate(Field& field)
{
    refuseNegative(field);
}

// Other line checks -----------------------------------------------------------------------------

void TdmTavi52::cdsBody1TD007Validate(Field& field)
{
    if (CodeLookup(field, "CMSMC", "N", "TD007C", "01"))
        return;
    if (lineHasItem_)
        Refuse("E", "000001", {field.displayLabel()});
    if (switches_->checksEnabled()) {
        ShowMessage("W", "000004", {field.displayLabel()});
        Assign(cdsBody1, "TD007C", "");
    }
}

void TdmTavi52::cdsBody1TD013Validate(Field& field)
{
    DateFieldValidate(field);
}

void TdmTavi52::cdsBody1TD014Validate(Field& field)
{
    if (!switches_->checksEnabled() || !switches_->amountRecalculation() || field.asString().empty())
        return;
    Variant row;
    if (!RowLookup("COPMG", "02", Variant::arrayOf({Text(cdsMain, "TC004"), Text(cdsBody1, "TD004"), field.asString()}),
                   row)) {
        ShowMessage("W", "000004", {field.displayLabel()});
        return;
    }
    Assign(cdsBody1, "TD004", rowText(row, 1));
}

void TdmTavi52::cdsBody1TD015Validate(Field& field)
{
    if (!switches_->checksEnabled() || Text(cdsBody1, "TD015").empty() || Text(cdsBody1, "TD028").empty())
        return;
    const auto head = [this](std::string_view name) { return Variant(Text(cdsMain, name)); };
    const auto line = [this](std::string_view name) { return Variant(Text(cdsBody1, name)); };
    CodeLookup(field, "COPMF", "E", "", "01",
               Variant::arrayOf({line("TD015"), line("TD028"), head("TC004"), head("TC005"), head("TC006"),
                                 line("TD004"), line("TD007"), line("TD010"), head("TC008"), head("TC007")}));
}

void TdmTavi52::cdsBody1TD017Validate(Field& /*field*/)
{
    if (switches_->checksEnabled())
        Assign(cdsBody1, "TD018", "");
}

void TdmTavi52::cdsBody1TD018Validate(Field& /*field*/)
{
    if (switches_->checksEnabled())
        Assign(cdsBody1, "TD019", "");
}

void TdmTavi52::cdsBody1TD019Validate(Field& /*field*/)
{
    if (!switches_->checksEnabled())
        return;
    const std::string type = Text(cdsBody1, "TD017");
    const std::string number = Text(cdsBody1, "TD018");
    const std::string sequence = Text(cdsBody1, "TD019");
    if (type.empty() || number.empty() || sequence.empty())
        return;
    const SwitchedOff amounts(*switches_, FormSwitch::AmountRecalculation);
    const std::string date = Text(cdsMain, "TC039");
    Variant row;
    if (!RowLookup("COPTA", "02",
                   Variant::arrayOf({type, number, sequence, Text(cdsMain, "TC004"), Text(cdsMain, "TC006"),
                                     Text(cdsMain, "TC008"), date, date, Text(cdsMain, "TC016")}),
                   row))
        Refuse("E", "100061");
    for (const ColumnField& copied : quotationColumns)
        Assign(cdsBody1, copied.field, rowText(row, copied.column));
    for (const ColumnField& copied : quotationRateColumns)
        assignNumber(copied.field, rowNumber(row, copied.column) * 100);
    for (const ColumnField& copied : quotationTaxColumns)
        Assign(cdsBody1, copied.field, rowText(row, copied.column));
    const auto days = text::tryParseInteger(text::trim(rowText(row, quotationLeadDaysColumn)));
    Assign(cdsBody1, "TD013", days && *days > 0 ? text::addDays(date, static_cast<int>(*days)) : date);
}

} // namespace orvane
