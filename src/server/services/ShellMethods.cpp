#include "server/services/ShellMethods.h"

namespace orvane {

namespace {

constexpr const char* programListName = "ProgramList";
constexpr const char* companyDatabaseName = "CompanyDatabase";

bool isYes(const Variant& value)
{
    return value.toString() == "Y";
}

bool superUser(const MethodCall& call)
{
    const SqlDialect& d = call.db.dialect();
    const QueryResult user = call.db.query(
        "SELECT MF005 FROM " + d.companyTable(call.login.companyDb, "ADMMF") + " WHERE MF001 = ?", {call.login.userId});
    return !user.rows.empty() && isYes(user.rows[0][0]);
}

Variant programList(const MethodCall& call)
{
    const std::vector<Variant> args = methodArgs(programListName, call.args, 0, 1);
    const SqlDialect& d = call.db.dialect();
    const std::string& cdb = call.login.companyDb;
    std::string sql = "SELECT B.MB001, B.MB002, G.MG003, G.MG006 FROM " + d.companyTable(cdb, "ADMMB") +
                      " B LEFT JOIN " + d.companyTable(cdb, "ADMMG") + " G ON G.MG002 = B.MB001 AND G.MG001 = ?";
    std::vector<Variant> params{call.login.userId};
    if (!args.empty()) {
        sql += " WHERE B.MB001 = ?";
        params.push_back(args[0].toString());
    }
    sql += " ORDER BY B.MB001";
    const QueryResult programs = call.db.query(sql, params);

    const bool super = superUser(call);
    std::vector<Variant> rows;
    rows.reserve(programs.rows.size());
    for (const DbRow& row : programs.rows) {
        const bool mayRun = super || isYes(row[2]);
        rows.push_back(Variant::arrayOf(
            {row[0].toString(), row[1].toString(), mayRun ? "Y" : "N", super ? "Y" : "N", row[3].toString()}));
    }
    return Variant::arrayOf(std::move(rows));
}

Variant companyDatabase(const MethodCall& call)
{
    methodArgs(companyDatabaseName, call.args, 0, 0);
    return call.login.companyDb;
}

} // namespace

void registerShellMethods(NamedMethods& methods)
{
    methods.add(programListName, programList);
    methods.add(companyDatabaseName, companyDatabase);
}

} // namespace orvane
