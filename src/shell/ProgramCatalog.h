#pragma once
// The programs of the logged-in company and the user's rights in each, as the server's
// "ProgramList" answers them through the shell's counter ("GETCOUNTER"); and the rights mask
// the shell hands a program it starts. Texts are in the client's data code page.
//
// Client thread only.

#include "platform/variant/Dispatch.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

struct ProgramEntry {
    std::string id;         // program identifier, "TAVI52"
    std::string name;       // program name, "客户订单录入作业"
    bool mayRun = false;    // the user may start it
    bool superUser = false; // the user holds every right in every program
    std::string rightsText; // the user's rights text F0,F1,...,F5 ("" without a rights row)
};

class ProgramCatalog {
public:
    // services: "OrvaneS.Services" on the shell's session, logged in to companyId.
    ProgramCatalog(DispatchPtr services, std::string companyId);

    // The session's company database.
    std::string companyDatabase();
    // Every program of the company, runnable or not, in identifier order.
    std::vector<ProgramEntry> programs();
    // One program, or nothing when the company has no such program.
    std::optional<ProgramEntry> find(std::string_view programId);

private:
    Variant call(std::string_view method, Variant args);
    static std::vector<ProgramEntry> entries(const Variant& answer);

    DispatchPtr services_;
    std::string companyId_;
};

// The rights mask for SetStartMode: 0xFF (nothing narrowed) for a super user and for a rights
// text whose F1 and F2 are both "Y"; otherwise 0xFF without bit 0x02 and 0x08 (rights-set
// elements 3 and 1: the customer credit figures) unless F1 is "Y", and without bit 0x04
// (element 2) unless F2 is "Y". F1 and F2 compare as the program reads them ("Y" or "y").
std::uint8_t rightsMask(const ProgramEntry& program);

} // namespace orvane
