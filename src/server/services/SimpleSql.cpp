#include "server/services/SimpleSql.h"

#include "platform/text/ByteText.h"
#include "server/catalogue/LookupDefs.h"
#include "server/catalogue/LookupQuery.h"
#include "server/services/ServiceError.h"
#include "server/services/SimpleSqlShapes.h"
#include "server/services/SqlShape.h"

#include <cctype>

namespace orvane {

namespace {

struct KnownStatement {
    SqlShape shape;
    std::string columns; // the column list the statement answers, as the client writes it
    LookupEntry entry;   // what runs instead; its keys are the shape's literals in order
    bool ownUserOnly;    // the last literal is a user code that must be the session's
};

const std::vector<KnownStatement>& knownStatements()
{
    using namespace lookup;
    static const std::vector<KnownStatement> statements{
        {SqlShape(programNameShape), "MB002",
         entry("ADMMB", "SimpleSql", LookupShape::Data, "program name", {"program identifier"},
               {col("MB002", "program name")}, "{ADMMB} WHERE MB001 = ?"),
         false},
        {SqlShape(programRightsShape), "MF005,MG006",
         entry("ADMMF", "SimpleSql", LookupShape::Data, "rights of the user in a program",
               {"program identifier", "user code"},
               {col("F.MF005", "super user"), col("COALESCE(G.MG006, '')", "rights text")},
               "{ADMMF} F LEFT JOIN {ADMMG} G ON G.MG001 = F.MF001 AND G.MG002 = ? WHERE F.MF001 = ?"),
         true},
        {SqlShape(attachmentKeysShape), "KeyValues",
         entry("ATTACH", "SimpleSql", LookupShape::Data, "document keys with attachments",
               {"program identifier", "company identifier"}, {col("DISTINCT KEYVALUES", "document key values")},
               "{ATTACH} WHERE PARENT = ? AND COMPANYID = ? ORDER BY KEYVALUES"),
         false},
    };
    return statements;
}

std::string normalColumns(std::string text)
{
    std::erase_if(text, [](unsigned char c) { return std::isspace(c); });
    return text::upperCase(text, text::CodePage::Utf8);
}

void checkCompany(const MethodCall& call, const std::string& companyDb)
{
    if (companyDb != call.login.companyDb)
        throw ServiceError("SimpleSql: company database '" + companyDb + "' is not this session's ('" +
                           call.login.companyDb + "')");
}

Variant answer(std::vector<DbRow> rows)
{
    std::vector<Variant> out;
    out.reserve(rows.size());
    for (auto& row : rows)
        out.push_back(Variant::arrayOf(std::move(row)));
    return Variant::arrayOf(std::move(out));
}

} // namespace

Variant simpleSql(const MethodCall& call)
{
    const std::vector<Variant> args = methodArgs("SimpleSql", call.args, 2, 4);
    const std::string text = args[0].toString();
    const std::string columns = args[1].toString();
    if (args.size() > 2 && !args[2].toString().empty())
        checkCompany(call, args[2].toString());
    for (const auto& known : knownStatements()) {
        const auto match = known.shape.match(text);
        if (!match)
            continue;
        if (!columns.empty() && normalColumns(columns) != normalColumns(known.columns))
            throw ServiceError("SimpleSql: the column list '" + columns + "' does not match the statement's (" +
                               known.columns + ")");
        for (const auto& companyDb : match->words)
            checkCompany(call, companyDb);
        if (known.ownUserOnly && match->literals.back() != call.login.userId)
            throw ServiceError("SimpleSql: the rights of user '" + match->literals.back() +
                               "' are not this session's to read");
        std::vector<Variant> keys(match->literals.begin(), match->literals.end());
        LookupQuery query(call.db, call.login.companyDb);
        return answer(query.rows(known.entry, Variant::arrayOf(std::move(keys))));
    }
    throw ServiceError("SimpleSql refuses a statement it does not know: " + text);
}

} // namespace orvane
