#include "server/schema/Tables.h"

#include "platform/text/ByteText.h"

namespace orvane {

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
