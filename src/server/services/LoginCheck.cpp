#include "server/services/LoginCheck.h"

#include "server/schema/PasswordHash.h"

namespace orvane {

namespace {

struct Account {
    std::string passwordHash;
    SessionLogin login;
};

// The account and its company, when the user is active and allowed there.
std::optional<Account> account(Database& db, std::string_view user, std::string_view companyId)
{
    const SqlDialect& d = db.dialect();
    const QueryResult found = db.query(
        "SELECT U.PASSWORD_HASH, C.COMPANY_DB FROM " + d.systemTable("SYS_USER") + " U JOIN " +
            d.systemTable("SYS_USER_COMPANY") + " UC ON UC.USER_ID = U.USER_ID JOIN " + d.systemTable("SYS_COMPANY") +
            " C ON C.COMPANY_ID = UC.COMPANY_ID WHERE U.USER_ID = ? AND UC.COMPANY_ID = ? AND U.ACTIVE = 'Y'",
        {user, companyId});
    if (found.rows.empty())
        return std::nullopt;
    const std::string companyDb = found.rows[0][1].toString();
    if (!db.hasCompany(companyDb))
        return std::nullopt;
    return Account{found.rows[0][0].toString(), {std::string(user), std::string(companyId), companyDb}};
}

} // namespace

std::optional<SessionLogin> checkPasswordLogin(Database& db, std::string_view user, std::string_view password,
                                               std::string_view companyId)
{
    // A made-up hash keeps the time of a refusal the same whether or not the account exists.
    static const std::string decoy = hashPassword("decoy");
    const auto found = account(db, user, companyId);
    const bool matches = verifyPassword(password, found ? found->passwordHash : decoy);
    if (!found || !matches)
        return std::nullopt;
    return found->login;
}

std::optional<SessionLogin> trustedLogin(Database& db, std::string_view user, std::string_view companyId)
{
    const auto found = account(db, user, companyId);
    if (!found)
        return std::nullopt;
    return found->login;
}

} // namespace orvane
