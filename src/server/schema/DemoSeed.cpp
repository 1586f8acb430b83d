#include "server/schema/DemoSeed.h"

#include "server/db/DbError.h"
#include "server/db/Transaction.h"
#include "server/schema/PasswordHash.h"
#include "server/schema/SchemaBuilder.h"
#include "server/schema/SeedTable.h"
#include "server/schema/Tables.h"

namespace orvane {

namespace {

// Inserts the rows of one seed table with the audit columns of a seeded row.
void load(Database& db, const SeedTable& seed, const std::string& companyDb)
{
    const TableDef* def = findTable(seed.table);
    if (!def)
        throw DbError(DbErrorKind::General, "Seed data names an unknown table '" + seed.table + "'");
    std::vector<std::string> columns = seed.columns;
    for (const char* audit : {"COMPANY", "CREATOR", "USR_GROUP", "CREATE_DATE", "FLAG"})
        columns.emplace_back(audit);
    const std::string db_name = def->scope == TableScope::System ? std::string() : companyDb;
    const auto statement = db.prepare(db.dialect().insertIfMissing(db.dialect().table(db_name, def->name), columns));
    const std::string today = todayText();
    for (const auto& row : seed.rows) {
        if (row.size() != seed.columns.size())
            throw DbError(DbErrorKind::General, "Seed row of " + seed.table + " has " + std::to_string(row.size()) +
                                                    " values for " + std::to_string(seed.columns.size()) + " columns");
        std::vector<Variant> values = row;
        values.insert(values.end(), {Variant(demoCompanyId), Variant("ZT"), Variant("ADMIN"), Variant(today), 1});
        statement->run(values);
    }
}

// Login accounts: the hashes are made at seeding time with a fresh salt each.
SeedTable users()
{
    return {"SYS_USER",
            {"USER_ID", "USER_NAME", "PASSWORD_HASH", "ACTIVE"},
            {
                {"ZT", "系统管理员", hashPassword(demoPassword), "Y"},
                {"SALES01", "张伟", hashPassword(demoPassword), "Y"},
            }};
}

bool userExists(Database& db, std::string_view user)
{
    return !db.query("SELECT 1 FROM " + db.dialect().systemTable("SYS_USER") + " WHERE USER_ID = ?", {user})
                .rows.empty();
}

} // namespace

void seedDemo(Database& db)
{
    const std::string companyDb(demoCompanyDb);
    createSchema(db, companyDb);
    const bool hashUsers = !userExists(db, "ZT") || !userExists(db, "SALES01");
    inTransaction(db, [&] {
        if (hashUsers)
            load(db, users(), companyDb);
        for (const auto& part : {demoSystemData(), demoMessages(), demoAdminData(), demoMasterData(), demoItemData(),
                                 demoDocumentData(), demoStoreData(), demoWorkflowData(), demoLookupData()}) {
            for (const auto& seed : part)
                load(db, seed, companyDb);
        }
    });
}

} // namespace orvane
