// orvane-admin: the operator's command of the sign-off workflow. Lists the queued jobs of a
// company, or approves, returns or cancels one of them on the database the server
// configuration names, and prints what became of the document.

#include "server/app/ServerConfig.h"
#include "server/salesorder/OrderConfirmation.h"
#include "server/services/WorkflowJob.h"

#include <iostream>
#include <optional>

namespace orvane {
namespace {

constexpr const char* usage =
    "usage: orvane-admin --config PATH --company DB --list\n"
    "       orvane-admin --config PATH --company DB (--approve | --return | --cancel) KEY [--program ID] [--by "
    "PERSON]\n"
    "  --config PATH   the server configuration file (OrvaneS.ini)\n"
    "  --company DB    the company database\n"
    "  --list          the jobs in the sign-off queue\n"
    "  --approve KEY   sign the pending pass of the queued document KEY (key values joined by ||)\n"
    "  --return KEY    return the document to its sender\n"
    "  --cancel KEY    withdraw the job\n"
    "  --program ID    the program that sent the document (default TAVI52)\n"
    "  --by PERSON     who signs (default: each step's recipient)\n";

struct Options {
    std::filesystem::path config;
    std::string company;
    std::string program = "TAVI52";
    std::string signer;
    std::string key;
    std::optional<Verdict> verdict;
    bool list = false;
};

std::optional<Options> parseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--list") {
            options.list = true;
        } else if (!hasValue) {
            return std::nullopt;
        } else if (arg == "--config") {
            options.config = argv[++i];
        } else if (arg == "--company") {
            options.company = argv[++i];
        } else if (arg == "--program") {
            options.program = argv[++i];
        } else if (arg == "--by") {
            options.signer = argv[++i];
        } else if (arg == "--approve" || arg == "--return" || arg == "--cancel") {
            options.verdict = arg == "--approve"  ? Verdict::Approve
                              : arg == "--return" ? Verdict::Return
                                                  : Verdict::Cancel;
            options.key = argv[++i];
        } else {
            return std::nullopt;
        }
    }
    if (options.config.empty() || options.company.empty() || options.list == options.verdict.has_value())
        return std::nullopt;
    return options;
}

std::string statusName(const std::string& status)
{
    static const std::pair<const char*, const char*> names[] = {
        {"0", "待处理"},     {"S", "传送中"}, {"1", "签核中"},     {"2", "退件"},          {"3", "已核准"},
        {"4", "撤销审核中"}, {"5", "作废中"}, {"6", "取消作废中"}, {"N", "不运行电子签核"}};
    for (const auto& [code, name] : names)
        if (status == code)
            return status + " (" + name + ")";
    return status;
}

void listQueue(Database& db, const std::string& company)
{
    const QueryResult jobs = db.query("SELECT PROGRAMID, JOBKEY, ACTION, SENDER, SEND_DATE, CONTACT FROM " +
                                      db.dialect().companyTable(company, "VLJOBQUE") + " ORDER BY SEND_DATE, JOBKEY");
    for (const DbRow& job : jobs.rows)
        std::cout << job[0].toString() << "  " << job[1].toString() << "  action " << job[2].toString() << "  sent by "
                  << job[3].toString() << " on " << job[4].toString() << "  contact " << job[5].toString() << "\n";
    std::cout << jobs.rows.size() << " job(s) in the sign-off queue of " << company << "\n";
}

// An order is confirmed or unconfirmed through the sign-off only as the direct confirmation would
// do it now: its rate and its customer's credit (the balance may have moved since the order was
// sent) or its transfer, checked again.
std::optional<std::string> orderConfirmCheck(Database& db, const WorkflowJob& job, const std::string& code)
{
    if (job.headTable != "COPTC" || (code != "Y" && code != "N"))
        return std::nullopt;
    const SessionLogin login{job.userId, job.companyId, job.companyDb};
    return approvalRefusal(db, login, std::vector<Variant>(job.keyValues.begin(), job.keyValues.end()), code == "Y");
}

void decide(Database& db, const Options& options)
{
    const DecisionResult result = decideJob(db, options.company, options.program, options.key, *options.verdict,
                                            options.signer, orderConfirmCheck);
    const char* verb = *options.verdict == Verdict::Approve  ? "Approved"
                       : *options.verdict == Verdict::Return ? "Returned"
                                                             : "Cancelled";
    std::cout << verb << " pass " << result.pass << " of " << result.passes << " of " << options.program << " document "
              << options.key << (result.finished ? "; the job has left the queue" : "") << "; sign-off status "
              << statusName(result.status) << "\n";
}

} // namespace
} // namespace orvane

int main(int argc, char** argv)
{
    const auto options = orvane::parseArguments(argc, argv);
    if (!options) {
        std::cerr << orvane::usage;
        return 2;
    }
    const auto fail = [](const std::string& text) {
        std::cerr << "orvane-admin: " << text << "\n";
        return 1;
    };
    try {
        // Neither a mistyped configuration (refused by load) nor a mistyped company may leave an
        // empty database behind.
        const auto config = orvane::ServerConfig::load(options->config);
        const auto db = orvane::databaseFactory(config)();
        if (!db->hasCompany(options->company))
            return fail("no company database " + options->company + " on this server");
        db->ensureCompany(options->company);
        if (options->list)
            orvane::listQueue(*db, options->company);
        else
            orvane::decide(*db, *options);
        return 0;
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}
