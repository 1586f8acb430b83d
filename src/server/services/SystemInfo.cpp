#include "server/services/SystemInfo.h"

#include "server/services/ServiceError.h"

#include <algorithm>
#include <cctype>

namespace orvane {

Variant systemParameters(Database& db, const std::string& companyDb)
{
    const QueryResult params = db.query("SELECT PARAM_NAME, PARAM_VALUE FROM " +
                                        db.dialect().companyTable(companyDb, "SYS_PARAM") + " ORDER BY PARAM_NAME");
    const int count = static_cast<int>(params.rows.size());
    Variant answer = Variant::createArray({0, 1}, {0, count - 1});
    for (int i = 0; i < count; ++i) {
        answer.at(0, i) = params.rows[static_cast<std::size_t>(i)][0].toString();
        answer.at(1, i) = params.rows[static_cast<std::size_t>(i)][1].toString();
    }
    return answer;
}

std::string messageText(Database& db, std::string_view type, std::string_view code)
{
    const bool digits = std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (type.size() != 1 || !std::isupper(static_cast<unsigned char>(type[0])) || code.size() < 6 || code.size() > 7 ||
        !digits)
        throw ServiceError("GetMessage: '" + std::string(type) + "' '" + std::string(code) +
                           "' is not a type letter and a six-digit code");
    const QueryResult found = db.query("SELECT MSG_TEXT FROM " + db.dialect().systemTable("SYS_MESSAGE") +
                                           " WHERE MSG_TYPE = ? AND MSG_CODE = ?",
                                       {type, code});
    return found.rows.empty() ? std::string() : found.rows[0][0].toString();
}

} // namespace orvane
