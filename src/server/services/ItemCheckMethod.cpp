// "ItemCheck": the questions an order line's item check is about to ask, answered in one call.
// The check fills the line from the item row, and the fields it fills run their own checks, each
// asking the validator or a sales method; several of those questions depend on the answers of
// others (the unit and warehouse on the item row, the packing method on the default packing).
// Asked one by one, or in batches, that is a chain of round trips; here the server follows the
// chain itself. Every answer is computed by the same code as the single call (the validator's
// row lookup, the registered method) and given back with the call's arguments, so the client
// keeps it as that call's answer. A part the single call would refuse is left out: the check
// then asks it and meets the refusal in its own order.
#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"
#include "server/db/ReadSnapshot.h"
#include "server/services/CheckValueRow.h"
#include "server/services/SalesData.h"
#include "server/services/SalesMethodGroups.h"
#include "server/services/ServiceError.h"

#include <algorithm>
#include <array>
#include <deque>
#include <optional>

namespace orvane {

namespace {

// Columns of the item row (INVMB "01") the check reads.
constexpr int itemUnitColumn = 3;
constexpr int itemWarehouseColumn = 4;
constexpr int itemPackageUnitColumn = 27;
constexpr int itemFixedWeightColumn = 28;
constexpr int itemTaxRateColumn = 30;
constexpr int itemTradeFlagColumn = 32;
constexpr int firstPriceColumn = 33; // 33..38 level flags, 39 retail price, 40 its flag, 41..46 level prices
constexpr std::size_t priceColumnCount = 14;
constexpr int retailPriceColumn = 39;
constexpr int retailFlagColumn = 40;

// The line and head as the check finds them, before it changes anything.
struct ItemCheckLine {
    std::string item, customer, currency, taxType, date;
    double quantity = 0;
    double taxRate = 0;
    std::string warehouse;
    std::array<Variant, priceColumnCount> prices; // the line's columns of item row columns 33 to 46
    std::string salesperson, customerScope, salespersonScope;
    double delivered = 0, freeGoods = 0, freeGoodsDelivered = 0; // the line's other quantities with package twins
};

bool isScalar(const Variant& value)
{
    return value.isUnassignedOrNull() || value.isNumeric() || value.isString();
}

ItemCheckLine readLine(const SalesArgs& args)
{
    ItemCheckLine line{.item = args.text(0, "item"),
                       .customer = args.text(1, "customer"),
                       .currency = args.text(2, "currency"),
                       .taxType = args.text(3, "tax type"),
                       .date = args.text(4, "date"),
                       .quantity = args.number(5, "quantity"),
                       .taxRate = args.number(6, "tax rate"),
                       .warehouse = args.text(7, "warehouse"),
                       .prices = {},
                       .salesperson = args.text(9, "salesperson"),
                       .customerScope = args.text(10, "customer's trade scope"),
                       .salespersonScope = args.text(11, "salesperson's trade scope"),
                       .delivered = args.number(12, "delivered quantity"),
                       .freeGoods = args.number(13, "free goods"),
                       .freeGoodsDelivered = args.number(14, "free goods delivered")};
    if (line.item.empty())
        args.fail(0, "item", "may not be empty");
    const Variant& prices = args.at(8);
    if (!prices.isArray() || prices.dimensions() != 1 || prices.array().size() != priceColumnCount)
        args.fail(8, "reference prices", "expected an array of " + std::to_string(priceColumnCount) + " values");
    const auto values = prices.array().elements();
    for (std::size_t i = 0; i < priceColumnCount; ++i) {
        if (!isScalar(values[i]))
            args.fail(8, "reference prices", "value " + std::to_string(i) + " is not a number or a text");
        line.prices[i] = values[i];
    }
    return line;
}

std::string rowText(const Variant& row, int column)
{
    if (!row.isArray() || row.lowBound() + column > row.highBound())
        return {};
    return row[row.lowBound() + column].toString();
}

double numberOf(const Variant& value)
{
    if (value.isNumeric())
        return value.toFloat();
    return text::tryParseFloat(text::trim(value.toString())).value_or(0.0);
}

double rowNumber(const Variant& row, int column)
{
    return text::tryParseFloat(text::trim(rowText(row, column))).value_or(0.0);
}

// A row the order's checks count as found: the validator found it and column 0 is above 0.
bool rowFound(const CheckedRow& checked)
{
    return checked.found && rowNumber(checked.row, 0) > 0;
}

// A validator lookup the check asks: its table, kind and keys.
struct LookupKeys {
    std::string_view table, kind;
    std::vector<Variant> keys;
};

// The answers gathered, each once, in the order the check asks. Rows and answers are kept once
// and moved into the answer at the end: an item row is some fifty values, copied per step it
// was a good part of the call.
class ForeseenAnswers {
public:
    ForeseenAnswers(const NamedMethods& methods, const MethodCall& call)
        : methods_(methods), call_(call), readsAhead_(data().readsAhead())
    {}

    // The lookup's row; the reference stays valid until take().
    const CheckedRow& lookup(std::string_view table, std::string_view kind, std::vector<Variant> keys)
    {
        Variant keyArray = Variant::arrayOf(std::move(keys));
        const auto kept = std::ranges::find_if(lookups_, [&](const Lookup& lookup) {
            return lookup.table == table && lookup.kind == kind && lookup.keys == keyArray;
        });
        if (kept != lookups_.end())
            return kept->checked;
        const LookupEntry& entry = checkValueEntry(table, kind);
        CheckedRow checked =
            checkedRowOf(entry, data().read(checkValueRead(call_.db, call_.login.companyDb, entry, keyArray)));
        lookups_.push_back({std::string(table), std::string(kind), std::move(keyArray), std::move(checked)});
        return lookups_.back().checked;
    }

    bool readsAhead() const { return readsAhead_; }
    // Reads the lookups and the sales methods' statements the check is about to ask, in one round
    // trip (SalesData::readAhead). Only when readsAhead().
    void readAhead(const std::vector<LookupKeys>& lookups, std::vector<ReusedRun> reads)
    {
        for (const LookupKeys& lookup : lookups)
            reads.push_back(checkValueRead(call_.db, call_.login.companyDb, checkValueEntry(lookup.table, lookup.kind),
                                           Variant::arrayOf(lookup.keys)));
        data().readAhead(std::move(reads));
    }

    void method(std::string_view name, std::vector<Variant> args)
    {
        Variant elements = Variant::arrayOf(std::move(args));
        if (std::ranges::any_of(asked_,
                                [&](const Asked& asked) { return asked.name == name && asked.args == elements; }))
            return;
        Asked& asked = asked_.emplace_back(Asked{std::string(name), std::move(elements), {}});
        try {
            asked.answer = methods_.call(name, MethodCall{call_.db, call_.login, asked.args, &reads_});
        } catch (const ServiceError&) {
            // Refused: the check's own call meets the refusal where the check asks it.
        }
    }

    // The call's data, its statements answered from the reads the methods share.
    SalesData data() { return SalesData(MethodCall{call_.db, call_.login, call_.args, &reads_}); }

    // [lookups, methods]: each lookup [table, kind, keys, found, row], each method answered
    // [name, elements, answer]; the answers are moved out.
    Variant take()
    {
        std::vector<Variant> lookups;
        lookups.reserve(lookups_.size());
        for (Lookup& lookup : lookups_)
            lookups.push_back(arrayOfMoved(std::move(lookup.table), std::move(lookup.kind), std::move(lookup.keys),
                                           lookup.checked.found, std::move(lookup.checked.row)));
        std::vector<Variant> methods;
        for (Asked& asked : asked_)
            if (asked.answer)
                methods.push_back(arrayOfMoved(std::move(asked.name), std::move(asked.args), std::move(*asked.answer)));
        return arrayOfMoved(Variant::arrayOf(std::move(lookups)), Variant::arrayOf(std::move(methods)));
    }

private:
    struct Lookup {
        std::string table, kind;
        Variant keys;
        CheckedRow checked;
    };
    struct Asked {
        std::string name;
        Variant args;
        std::optional<Variant> answer; // none when the method refused
    };

    const NamedMethods& methods_;
    const MethodCall& call_;
    std::deque<Lookup> lookups_; // a deque: the rows handed out stay where they are
    std::vector<Asked> asked_;
    // The methods read the same item, currency and system parameters: once each, as every
    // read runs under the call's one read snapshot.
    KeptReads reads_;
    bool readsAhead_; // after reads_, which it looks at
};

bool noTaxType(std::string_view taxType)
{
    return taxType == "3" || taxType == "4" || taxType == "9";
}

// The tax rate the line holds once the item's rate is entered as percent text.
double itemTaxRate(const ItemCheckLine& line, const Variant& itemRow)
{
    const auto rate = text::tryParseFloat(text::trim(rowText(itemRow, itemTaxRateColumn)));
    if (!rate || noTaxType(line.taxType))
        return 0;
    return text::tryParseFloat(text::floatToText(*rate * 100)).value_or(0.0) / 100;
}

std::string includedFlag(std::string_view flag)
{
    return flag == "Y" ? "Y" : "N";
}

// The reference prices converted to the order's tax flag: the item's retail price and the price
// level its price group picks, first as the line still has them while the new tax rate is
// entered, then the item's own.
void foreseeTaxChanges(ForeseenAnswers& answers, const ItemCheckLine& line, const Variant& itemRow,
                       const CheckedRow& priceGroup, double rate)
{
    const auto linePrice = [&](int column) { return numberOf(line.prices[column - firstPriceColumn]); };
    const auto lineFlag = [&](int column) { return line.prices[column - firstPriceColumn].toString(); };
    std::vector<std::pair<double, std::string>> prices{
        {rowNumber(itemRow, retailPriceColumn), rowText(itemRow, retailFlagColumn)},
        {linePrice(retailPriceColumn), lineFlag(retailFlagColumn)}};
    if (const std::string level = rowText(priceGroup.row, 1);
        rowFound(priceGroup) && !level.empty() && level[0] >= '1' && level[0] <= '6') {
        const int index = level[0] - '1';
        const int priceColumn = index < 4 ? 41 + index : 45 + index - 4;
        prices.emplace_back(rowNumber(itemRow, priceColumn), rowText(itemRow, firstPriceColumn + index));
        prices.emplace_back(linePrice(priceColumn), lineFlag(firstPriceColumn + index));
    }
    const std::string orderFlag = line.taxType == "1" ? "Y" : "N";
    for (const auto& [price, priceFlag] : prices)
        if (const std::string flag = includedFlag(priceFlag); price != 0 && flag != orderFlag)
            answers.method("ChangeTax", {price, orderFlag, flag, line.currency, rate});
}

// The trade-qualification lookups of a party whose scope mode asks for them.
void foreseeTradeScope(ForeseenAnswers& answers, const ItemCheckLine& line, const std::string& party,
                       const std::string& mode, std::string_view table, const CheckedRow& priceGroup)
{
    if (party.empty() || (mode != "1" && mode != "2"))
        return;
    if (mode == "1")
        answers.lookup(table, "02", {party, line.item, rowText(priceGroup.row, 2)});
    else
        answers.lookup(table, "03", {party, line.item});
}

// A fixed-weight item in unit mode "3" converts the line's four quantities into their package
// twins when its unit is entered.
void foreseePackageTwins(ForeseenAnswers& answers, const ItemCheckLine& line, const Variant& itemRow,
                         const std::string& unit)
{
    const std::string packageUnit = rowText(itemRow, itemPackageUnitColumn);
    if (rowText(itemRow, itemFixedWeightColumn) != "Y" || packageUnit.empty() || unit.empty())
        return;
    if (answers.data().systemParameter("SYS024") != "3")
        return;
    for (const double quantity : {line.quantity, line.delivered, line.freeGoods, line.freeGoodsDelivered})
        answers.method("UnitConvert", {line.item, quantity, unit, packageUnit, 0});
}

// What the fields filled from the item row ask: the default packing and its method, the
// warehouse, the package twins, the money quantity, the price at the line's old and new tax rate, the reference
// prices' tax conversions and the trade scope.
void foreseeItemDependents(ForeseenAnswers& answers, const ItemCheckLine& line, const Variant& itemRow,
                           const CheckedRow& priceGroup)
{
    const std::string unit = rowText(itemRow, itemUnitColumn);
    std::string warehouse = rowText(itemRow, itemWarehouseColumn);
    if (warehouse.empty())
        warehouse = line.warehouse;
    const double rate = itemTaxRate(line, itemRow);
    const auto priceArgs = [&](double priceRate) {
        return std::vector<Variant>{line.customer, line.item, unit,          line.currency,
                                    line.taxType,  line.date, line.quantity, priceRate};
    };
    if (answers.readsAhead()) {
        std::vector<LookupKeys> ahead;
        if (!unit.empty())
            ahead.push_back({"EPSMB", "02", {line.item, unit}});
        if (!warehouse.empty())
            ahead.push_back({"CMSMC", "01", {warehouse}});
        answers.readAhead(ahead, copUnitPriceReads(Variant::arrayOf(priceArgs(line.taxRate))));
    }
    std::string packing;
    if (!unit.empty())
        if (const CheckedRow& packingRow = answers.lookup("EPSMB", "02", {line.item, unit}); packingRow.found)
            packing = rowText(packingRow.row, 0);
    if (!warehouse.empty())
        answers.lookup("CMSMC", "01", {warehouse});
    foreseePackageTwins(answers, line, itemRow, unit);
    answers.method("QtyDToS", {line.item, line.quantity, 0, unit, unit});
    for (const double priceRate : {line.taxRate, rate})
        answers.method("CopUnitPrice", priceArgs(priceRate));
    foreseeTaxChanges(answers, line, itemRow, priceGroup, rate);
    if (!packing.empty())
        answers.lookup("EPSMC", "01", {line.item, unit, packing});
    if (const std::string flag = rowText(itemRow, itemTradeFlagColumn); flag == "1" || flag == "3")
        return; // the check refuses the item before it asks about the scope
    foreseeTradeScope(answers, line, line.customer, line.customerScope, "GSPTH", priceGroup);
    foreseeTradeScope(answers, line, line.salesperson, line.salespersonScope, "GSPTJ", priceGroup);
}

// What the check asks first, known from the line alone: the item's rows, its price group and the
// currency, with the item, unit mode and currencies the sales methods read.
void readItemAhead(ForeseenAnswers& answers, const ItemCheckLine& line)
{
    std::vector<ReusedRun> salesReads{SalesData::itemRead(line.item), SalesData::systemParameterRead("SYS024"),
                                      SalesData::systemParameterRead("SYS003")};
    if (!line.currency.empty())
        salesReads.push_back(SalesData::currencyRead(line.currency));
    answers.readAhead({{"INVMB", "01", {line.item}},
                       {"INVMB", "03", {line.item}},
                       {"GSPMA", "01", {line.item}},
                       {"CMSMF", "01", {line.currency}}},
                      std::move(salesReads));
}

// [item, customer, currency, tax type, date, quantity, the line's tax rate, the line's warehouse,
//  the line's reference-price columns (item row columns 33 to 46), salesperson, customer's trade
//  scope, salesperson's trade scope, delivered, free goods, free goods delivered] -> [lookups,
//  methods]: each lookup as [table, kind, keys,
//  found, row], each method as [name, elements, answer].
Variant itemCheck(const NamedMethods& methods, const MethodCall& call)
{
    const SalesArgs args("ItemCheck", call.args, 15, 15);
    const ItemCheckLine line = readLine(args);
    ForeseenAnswers answers(methods, call);
    const ReadSnapshot reads(call.db); // a dozen reads under one read lock
    if (answers.readsAhead())
        readItemAhead(answers, line);
    const CheckedRow& item = answers.lookup("INVMB", "01", {line.item});
    answers.lookup("INVMB", "03", {line.item});
    const CheckedRow& priceGroup = answers.lookup("GSPMA", "01", {line.item});
    answers.lookup("CMSMF", "01", {line.currency});
    if (rowFound(item))
        foreseeItemDependents(answers, line, item.row, priceGroup);
    return answers.take();
}

} // namespace

void registerItemCheckMethod(NamedMethods& methods)
{
    methods.add("ItemCheck", [&methods](const MethodCall& call) { return itemCheck(methods, call); });
}

} // namespace orvane
