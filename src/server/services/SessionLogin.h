#pragma once
// Who a session works for: established by a login and used for every call after it.

#include <string>

namespace orvane {

struct SessionLogin {
    std::string userId;    // SYS_USER.USER_ID, ADMMF.MF001 in the company
    std::string companyId; // SYS_COMPANY.COMPANY_ID
    std::string companyDb; // the company database every lookup reads
};

} // namespace orvane
