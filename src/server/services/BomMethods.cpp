// "BomExtract": the components of an item's bill of materials for a quantity, one level or
// down to the parts that have no structure of their own.
#include "server/services/SalesData.h"
#include "server/services/SalesMethodGroups.h"
#include "server/services/ServiceError.h"

#include <algorithm>

namespace orvane {

namespace {

// The lines of a parent in force on the date, with the parent's batch quantity. Lines
// marked N (an option not chosen by default) are left out.
constexpr const char* linesSql =
    "SELECT L.MD003, L.MD002, L.MD007, L.MD008, L.MD009, COALESCE(H.MC002, 1), I.MB002, I.MB003, I.MB004, I.MB008 "
    "FROM {BOMMD} L LEFT JOIN {BOMMC} H ON H.MC001 = L.MD001 LEFT JOIN {INVMB} I ON I.MB001 = L.MD003 "
    "WHERE L.MD001 = ? AND L.MD012 <> 'N' AND (L.MD010 = '' OR L.MD010 <= ?) AND (L.MD011 = '' OR L.MD011 >= ?) "
    "ORDER BY L.MD002";

struct Explosion {
    std::string date;
    bool withLoss = false;
    bool allLevels = false;
    std::string warehouse; // empty: each component's own
    std::string deliveryDate;
};

class Exploder {
public:
    Exploder(SalesData& data, Explosion explosion) : data_(data), explosion_(std::move(explosion)) {}

    // Adds the rows of the parent's components for the quantity; answers whether it has any.
    bool explode(const std::string& parent, double quantity, int level)
    {
        refuseLoop(parent);
        path_.push_back(parent);
        const QueryResult lines = data_.rows(linesSql, {parent, explosion_.date, explosion_.date});
        for (const DbRow& line : lines.rows) {
            const std::string component = line[0].toString();
            const double base = storedNumber(line[3]) > 0 ? storedNumber(line[3]) : 1.0;
            const double batch = storedNumber(line[5]) > 0 ? storedNumber(line[5]) : 1.0;
            const double loss = explosion_.withLoss ? 1 + storedNumber(line[4]) : 1.0;
            const double needed = quantity / batch * storedNumber(line[2]) / base * loss;
            if (explosion_.allLevels && explode(component, needed, level + 1))
                continue;
            const std::string warehouse = explosion_.warehouse.empty() ? line[9].toString() : explosion_.warehouse;
            rows_.push_back(
                Variant::arrayOf({component, line[6].toString(), line[7].toString(), needed, line[8].toString(),
                                  warehouse, level, parent, line[1].toString(), explosion_.deliveryDate}));
        }
        path_.pop_back();
        return !lines.rows.empty();
    }

    Variant answer() { return Variant::arrayOf(std::move(rows_)); }

private:
    // A structure that contains its own item would be exploded forever.
    void refuseLoop(const std::string& item) const
    {
        if (std::find(path_.begin(), path_.end(), item) == path_.end())
            return;
        std::string chain;
        for (const std::string& step : path_)
            chain += step + " > ";
        throw ServiceError("Server method 'BomExtract': the bill of materials of '" + path_.front() +
                           "' contains itself: " + chain + item);
    }

    SalesData& data_;
    Explosion explosion_;
    std::vector<Variant> rows_;
    std::vector<std::string> path_; // the items being exploded, outermost first
};

// [[main item, quantity, BOM date, loss rate Y/N, explosion mode 1/2, warehouse choice 1/2,
// warehouse, planned delivery date, "S;1,0" and up to five texts]] -> one row per component
// (docs/sales-methods.md).
Variant bomExtract(const MethodCall& call)
{
    const std::vector<Variant> outer = methodArgs("BomExtract", call.args, 1, 1);
    if (!outer[0].isArray())
        throw ServiceError("Server method 'BomExtract', element 0: expected the array of the explosion's values");
    const SalesArgs args("BomExtract", outer[0], 8, 14);
    SalesData data(call);
    const SalesItem item = data.item(args, 0);
    const double quantity = args.number(1, "quantity");
    if (quantity <= 0)
        args.fail(1, "quantity", "the quantity to explode must be above zero");
    Explosion explosion{args.date(2, "BOM date"), args.yesNo(3, "loss rate") == "Y"};
    const double mode = args.number(4, "explosion mode");
    if (mode != 1 && mode != 2)
        args.fail(4, "explosion mode", "1 (one level) or 2 (every level), not " + Variant(mode).toString());
    explosion.allLevels = mode == 2;
    const double choice = args.number(5, "warehouse choice");
    if (choice != 1 && choice != 2)
        args.fail(5, "warehouse choice",
                  "1 (each component's own) or 2 (the one given), not " + Variant(choice).toString());
    if (choice == 2) {
        explosion.warehouse = args.requiredCode(6, "warehouse");
        if (data.rows("SELECT 1 FROM {CMSMC} WHERE MC001 = ?", {explosion.warehouse}).rows.empty())
            args.fail(6, "warehouse", "unknown warehouse '" + explosion.warehouse + "'");
    }
    if (!args.code(7, "planned delivery date").empty())
        explosion.deliveryDate = args.date(7, "planned delivery date");
    for (std::size_t i = 8; i < args.size(); ++i)
        args.code(i, "option");

    Exploder exploder(data, std::move(explosion));
    if (!exploder.explode(item.code, quantity, 1))
        args.fail(0, "main item", "item '" + item.code + "' has no bill of materials in force on the BOM date");
    return exploder.answer();
}

} // namespace

void registerBomMethods(NamedMethods& methods)
{
    methods.add("BomExtract", bomExtract);
}

} // namespace orvane
