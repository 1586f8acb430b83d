#include "server/services/CoreMethods.h"

#include "server/services/DocumentNumbering.h"
#include "server/services/SimpleSql.h"

namespace orvane {

namespace {

Variant newDocNo(const MethodCall& call)
{
    const std::vector<Variant> args = methodArgs("NewDocNo", call.args, 2, 2);
    const DocumentNumbering numbering("COPTC");
    const std::string type = args[0].toString();
    const auto rule = numbering.rule(call.db, call.login.companyDb, type);
    if (rule && !rule->automatic())
        return std::string();
    return numbering.peek(call.db, call.login.companyDb, rule, type, args[1].toString()).next;
}

} // namespace

void registerCoreMethods(NamedMethods& methods)
{
    methods.add("SimpleSql", simpleSql);
    methods.add("NewDocNo", newDocNo);
}

} // namespace orvane
