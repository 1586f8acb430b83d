#include "server/services/WorkflowMethods.h"

#include "server/services/SystemInfo.h"
#include "server/services/WorkflowJob.h"

#include <map>

namespace orvane {

namespace {

// The codes of the "E" messages of the refusals.
const std::string noHistory = "200140";
const std::string refusedArguments = "200141";

// A value between tags: the three characters a tag reader trips over, as entities.
std::string escaped(const std::string& value)
{
    std::string text;
    for (const char c : value) {
        switch (c) {
        case '&': text += "&amp;"; break;
        case '<': text += "&lt;"; break;
        case '>': text += "&gt;"; break;
        default: text += c;
        }
    }
    return text;
}

std::string element(const char* tag, const std::string& value)
{
    return std::string("<") + tag + ">" + value + "</" + tag + ">";
}

// A refusal names the system's error message by its code and gives its text, so that the client
// can show the message in its interface language and knows the text when its dictionary lacks it.
std::string refusal(Database& db, const std::string& code)
{
    return element("RetVal", "1") + element("ApproveInfo", "") + element("RetInfo", "") + element("ErrNum", code) +
           element("ErrDis", escaped(messageText(db, "E", code)));
}

Variant insertVlJob(const MethodCall& call)
{
    return static_cast<int>(queueJob(call.db, call.login, call.args).code);
}

Variant getVlApprove(const MethodCall& call)
{
    const std::vector<Variant> args = methodArgs("GetVLApprove", call.args, 4, 4);
    for (const Variant& arg : args)
        if (!arg.isString())
            return refusal(call.db, refusedArguments);
    return approveInfo(call.db, call.login.companyDb, args[1].asString(), args[2].asString());
}

} // namespace

std::string approveInfo(Database& db, const std::string& companyDb, const std::string& flowCode,
                        const std::string& documentKey)
{
    const SqlDialect& d = db.dialect();
    const std::string history = d.companyTable(companyDb, "VLHISTORY");
    const std::string people = d.companyTable(companyDb, "ZTKMA");
    const QueryResult steps = db.query(
        "SELECT H.HS004, H.HS005, H.HS006, H.HS007, H.HS008, H.HS009, H.HS010, R.MA002, H.HS011, A.MA002 FROM " +
            history + " H LEFT JOIN " + people + " R ON R.MA001 = H.HS010 LEFT JOIN " + people +
            " A ON A.MA001 = H.HS011 WHERE H.HS001 = ? AND H.HS002 = ? AND H.HS003 = (SELECT MAX(HS003) FROM " +
            history + " WHERE HS001 = ? AND HS002 = ?) ORDER BY H.HS004, H.HS005",
        {flowCode, documentKey, flowCode, documentKey});
    if (steps.rows.empty())
        return refusal(db, noHistory);

    std::map<long long, std::string> passes;
    for (const DbRow& row : steps.rows) {
        std::string branch = element("BranchNo", row[1].toString());
        const char* tags[] = {"FlowRole",    "RecTime",       "ApproveTime",     "ApproveRet",
                              "RecPersonId", "RecPersonName", "ApprovePersonId", "ApprovePersonName"};
        for (std::size_t i = 0; i < std::size(tags); ++i)
            branch +=
                element(tags[i], escaped(row[2 + i].isUnassignedOrNull() ? std::string() : row[2 + i].toString()));
        passes[row[0].toIntegerOrZero()] += element("BranchInfo", branch);
    }
    std::string list;
    for (const auto& [pass, branches] : passes)
        list += element("PassNoInfo", element("PassNo", std::to_string(pass)) + element("BranchInfoList", branches));
    return element("RetVal", "0") + element("ApproveInfo", element("PassNoInfoList", list)) + element("RetInfo", "") +
           element("ErrNum", "0") + element("ErrDis", "");
}

void registerWorkflowMethods(NamedMethods& methods)
{
    methods.add("INSERTVLJOB", insertVlJob);
    methods.add("GetVLApprove", getVlApprove);
}

} // namespace orvane
