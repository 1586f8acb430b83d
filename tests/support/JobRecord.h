#pragma once
// The job record the order window sends to the sign-off workflow for one order: the action, the
// document's key, the contact, the order's tables, keys and status columns, then the sender's
// user, company, company database, program, group, flow and code page. The client's own short
// form is the first twelve elements.

#include "platform/variant/Variant.h"

#include <string>
#include <vector>

namespace orvane::test {

inline std::vector<Variant> orderJobRecord(const std::string& action, const std::string& type,
                                           const std::string& number, const std::string& contact = "ZT")
{
    return std::vector<Variant>({action, type + "||" + number, "1", contact, "COPTC", "COPTD", "TC001,TC002",
                                 type + "," + number, "TD001,TD002,TD003", "TC048", "TC027", "TD021", "ZT", "PRTest50",
                                 "PRTest50", "TAVI52", "ADMIN", "SO-FLOW", "936"});
}

} // namespace orvane::test
