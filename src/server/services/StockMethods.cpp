// "OnHand", "OnHandPack": stock on hand (INVMC); "CopOnOrder", "CopOnOrderPack": what open
// orders still have to deliver (COPTD lines not closed, of orders not voided). Each sums
// over the warehouses, narrowed to one warehouse and to the warehouses of one factory when
// those elements are given, and answers in the unit asked for.
#include "server/services/SalesData.h"
#include "server/services/SalesMethodGroups.h"
#include "server/services/ServiceError.h"
#include "server/services/TwoUnitNotation.h"

#include <algorithm>
#include <map>

namespace orvane {

namespace {

// The elements every stock method starts with: item, warehouse, unit, factory.
struct StockQuery {
    SalesItem item;
    std::string warehouse; // empty: every warehouse
    std::string unit;      // the unit of the answer
    double factor;         // stock units in one unit of the answer
    std::string factory;   // empty: every factory
};

void checkExists(SalesData& data, const SalesArgs& args, std::size_t index, std::string_view role, const char* sql,
                 const std::string& code)
{
    if (!code.empty() && data.rows(sql, {code}).rows.empty())
        args.fail(index, role, "unknown " + std::string(role) + " '" + code + "'");
}

// packed: the unit element is a package unit, empty meaning the item's package unit.
StockQuery stockQuery(SalesData& data, const SalesArgs& args, bool packed)
{
    StockQuery query{data.item(args, 0), args.code(1, "warehouse"), args.code(2, "unit"), 1.0, args.code(3, "factory")};
    checkExists(data, args, 1, "warehouse", "SELECT 1 FROM {CMSMC} WHERE MC001 = ?", query.warehouse);
    checkExists(data, args, 3, "factory", "SELECT 1 FROM {CMSMB} WHERE MB001 = ?", query.factory);
    if (packed && query.item.packageUnit.empty())
        args.fail(0, "item", "item '" + query.item.code + "' has no package unit");
    if (query.unit.empty())
        query.unit = packed ? query.item.packageUnit : query.item.stockUnit;
    const auto factor = data.unitFactor(query.item, query.unit);
    if (!factor)
        args.fail(2, "unit", "unit '" + query.unit + "' is not defined for item '" + query.item.code + "'");
    query.factor = *factor;
    return query;
}

// The narrowing conditions of the query; warehouseColumn and factoryColumn name the columns.
std::string narrowing(const StockQuery& query, std::vector<Variant>& params, const char* warehouseColumn,
                      const char* factoryColumn)
{
    std::string sql;
    if (!query.warehouse.empty()) {
        sql += std::string(" AND ") + warehouseColumn + " = ?";
        params.push_back(query.warehouse);
    }
    if (!query.factory.empty()) {
        sql += std::string(" AND ") + factoryColumn + " = ?";
        params.push_back(query.factory);
    }
    return sql;
}

// Quantities by the unit they are kept in, summed in the query's unit.
double inQueryUnit(SalesData& data, const StockQuery& query, const std::vector<std::pair<std::string, double>>& byUnit)
{
    double stock = 0;
    for (const auto& [unit, quantity] : byUnit) {
        const auto factor = data.unitFactor(query.item, unit);
        if (!factor)
            throw ServiceError("Item '" + query.item.code + "' has stock or open order lines in unit '" + unit +
                               "', which is not defined for it");
        stock += quantity * *factor;
    }
    return stock / query.factor;
}

Variant onHand(std::string_view method, bool packed, const MethodCall& call)
{
    const SalesArgs args(method, call.args, 4, 4);
    SalesData data(call);
    const StockQuery query = stockQuery(data, args, packed);
    std::vector<Variant> params{query.item.code};
    const std::string sql = std::string("SELECT SUM(") + (packed ? "S.MC004" : "S.MC003") +
                            ") FROM {INVMC} S JOIN {CMSMC} W ON W.MC001 = S.MC002 WHERE S.MC001 = ?" +
                            narrowing(query, params, "S.MC002", "W.MC003");
    const double held = storedNumber(data.rows(sql, std::move(params)).rows.at(0)[0]);
    // Package stock is kept in the item's package unit, stock in its stock unit.
    const std::string kept = packed ? query.item.packageUnit : query.item.stockUnit;
    return inQueryUnit(data, query, {{kept, held}});
}

// What a line still owes, ordered and free goods apart, each never below zero.
double owed(const TwoUnitNotation& notation, const DbRow& line)
{
    const auto part = [&](std::size_t ordered, std::size_t delivered) {
        return std::max(0.0,
                        notation.single(storedNumber(line[ordered])) - notation.single(storedNumber(line[delivered])));
    };
    return part(1, 2) + part(3, 4);
}

Variant onOrder(std::string_view method, bool packed, const MethodCall& call)
{
    const SalesArgs args(method, call.args, 5, 5);
    SalesData data(call);
    const StockQuery query = stockQuery(data, args, packed);
    const std::string until = args.code(4, "delivery date").empty() ? std::string() : args.date(4, "delivery date");
    std::vector<Variant> params{query.item.code};
    std::string sql = packed ? "SELECT D.TD036, D.TD032, D.TD033, D.TD034, D.TD035"
                             : "SELECT D.TD010, D.TD008, D.TD009, D.TD024, D.TD025";
    sql += " FROM {COPTD} D JOIN {COPTC} C ON C.TC001 = D.TD001 AND C.TC002 = D.TD002 "
           "WHERE D.TD004 = ? AND D.TD016 = 'N' AND C.TC027 <> 'V'" +
           narrowing(query, params, "D.TD007", "C.TC007");
    if (!until.empty()) {
        sql += " AND D.TD013 <= ?";
        params.push_back(until);
    }
    if (packed)
        sql += " AND D.TD036 <> ''";
    // Lines hold their quantities as the clerk wrote them: in the two-unit mode, in its notation.
    std::map<std::string, double> byUnit;
    for (const DbRow& line : data.rows(sql, std::move(params)).rows) {
        const std::string unit = line[0].toString();
        const TwoUnitNotation notation = packed ? TwoUnitNotation() : TwoUnitNotation(data, query.item, unit);
        byUnit[unit] += owed(notation, line);
    }
    return inQueryUnit(data, query, {byUnit.begin(), byUnit.end()});
}

} // namespace

void registerStockMethods(NamedMethods& methods)
{
    methods.add("OnHand", [](const MethodCall& call) { return onHand("OnHand", false, call); });
    methods.add("OnHandPack", [](const MethodCall& call) { return onHand("OnHandPack", true, call); });
    methods.add("CopOnOrder", [](const MethodCall& call) { return onOrder("CopOnOrder", false, call); });
    methods.add("CopOnOrderPack", [](const MethodCall& call) { return onOrder("CopOnOrderPack", true, call); });
}

} // namespace orvane
