#include "server/schema/Tables.h"

#include "platform/text/ByteText.h"

#include <algorithm>
#include <cctype>

namespace orvane {

namespace {

// The reference data the order's checks and lookups read: the parameters, the items with their
// units, packing, codes and bills of material, warehouses, factories, departments, staff, banks
// and accounts, currencies and rates, document types, processes, payment terms, projects,
// customers with their prices, addresses, item numbers, credit and marks, suppliers, trade data
// and scopes, and the sign-off settings of a program and document type. Orders, stock, numbering,
// history, rights and the workflow's documents are written all day or guard access, and are not
// among them.
constexpr std::string_view keptTableNames[] = {
    "SYS_PARAM", "INVMB", "INVMD", "INVMH", "EPSMB", "EPSMC", "EPSMD", "BOMMC", "BOMMD", "GSPMA", "GSPTH", "GSPTJ",
    "CMSMB",     "CMSMC", "CMSME", "CMSMF", "CMSMG", "CMSMK", "CMSMO", "CMSMQ", "CMSMV", "CMSMW", "CMSNA", "NOTMA",
    "ACTMA",     "INVLD", "PURMA", "MTPMA", "COPMA", "COPMB", "COPMC", "COPMD", "COPMG", "COPMH", "ADMMQ"};

} // namespace

const std::vector<TableDef>& allTables()
{
    static const std::vector<TableDef> tables = [] {
        std::vector<TableDef> all;
        addServerTables(all);
        addAdminTables(all);
        addMasterTables(all);
        addCustomerTables(all);
        addItemTables(all);
        addSalesTables(all);
        addWorkflowTables(all);
        addDeliveryTables(all);
        return all;
    }();
    return tables;
}

const TableDef* findTable(std::string_view name)
{
    for (const auto& table : allTables()) {
        if (text::equalsIgnoringAsciiCase(table.name, name))
            return &table;
    }
    return nullptr;
}

bool isKeptTable(std::string_view name)
{
    // Names as the statements write them; the table list is not searched: this runs at every read.
    return std::ranges::find(keptTableNames, name) != std::end(keptTableNames);
}

bool readsKeptTablesOnly(std::string_view sql, std::string_view companyDb)
{
    bool any = false;
    for (std::size_t open = sql.find('{'); open != std::string_view::npos; open = sql.find('{', open + 1)) {
        const std::size_t close = sql.find('}', open);
        if (close == std::string_view::npos || !isKeptTable(sql.substr(open + 1, close - open - 1)))
            return false;
        any = true;
    }
    // "company".TABLE, found by the company's name between its quotes.
    for (std::size_t at = sql.find(companyDb); !companyDb.empty() && at != std::string_view::npos;
         at = sql.find(companyDb, at + 1)) {
        const std::size_t start = at + companyDb.size() + 2;
        if (at == 0 || sql[at - 1] != '"' || sql.substr(at + companyDb.size(), 2) != "\".")
            continue;
        std::size_t end = start;
        while (end < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[end])) || sql[end] == '_'))
            ++end;
        if (!isKeptTable(sql.substr(start, end - start)))
            return false;
        any = true;
    }
    return any;
}

const std::vector<ColumnDef>& auditColumns()
{
    static const std::vector<ColumnDef> columns = {
        column::text("COMPANY", 10, "company code of the user who created the row"),
        column::text("CREATOR", 10, "user code of the creator"),
        column::text("USR_GROUP", 10, "user group of the creator (group rights)"),
        column::text("CREATE_DATE", 8, "creation date YYYYMMDD"),
        column::text("MODIFIER", 10, "user code of the last change"),
        column::text("MODI_DATE", 8, "date of the last change YYYYMMDD"),
        column::number("FLAG", "change counter 1..999 then 0; concurrent changes are detected by it"),
    };
    return columns;
}

const ColumnDef& versionColumn()
{
    static const ColumnDef column =
        column::integer("ROW_VERSION", "changes since the row was made; never wraps, never sent to clients");
    return column;
}

} // namespace orvane
