#pragma once
// The sign-off workflow the server keeps: the job record a client sends with "INSERTVLJOB",
// the queue (VLJOBQUE), the flows' steps (VLFLOW) and the history (VLHISTORY), and the
// operator's decisions on a queued job. The record layout and the states are written down in
// docs/workflow.md.
//
// Nothing of the record is taken on trust: tables and fields must be the schema's, the key
// values must be the document key's, the company database the session's, and the document
// must exist and be free to send. Every change runs in one transaction.
//
// Stateless; as the connection.

#include "platform/variant/Variant.h"
#include "server/db/Database.h"
#include "server/services/SessionLogin.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {

// A record, a document or a decision the workflow refuses; the text names the document
// and what stands in the way.
class WorkflowError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Elements of the job record: the caller's twelve, then the sender's identity, the flow code
// of the workflow settings and the code page.
inline constexpr std::size_t workflowRecordSize = 19;

struct WorkflowJob {
    std::string action;      // "3" confirm, "2" unconfirm, "1" void, "0" un-void, "-1" none
    std::string documentKey; // the key values joined by "||"
    std::string urgency;     // "1" normal, "2" urgent, "" none
    std::string contact;     // ZTKMA person
    std::string headTable;
    std::string lineTable; // "" for a document without lines
    std::vector<std::string> keyFields;
    std::vector<std::string> keyValues;
    std::vector<std::string> lineKeyFields; // the first keyFields.size() pair with keyFields
    std::string signOffField;
    std::string confirmField;   // "" when the action changes no confirmation code
    std::string lineCloseField; // "" when the lines carry none
    std::string userId, companyId, companyDb, programId, flowCode, codePage;

    // The record's texts, in order, as VLJOBQUE.JOBDATA keeps them (one per line).
    std::vector<std::string> elements;
};

// Reads and checks a job record's texts; raises WorkflowError naming the element at fault.
WorkflowJob workflowJob(std::vector<std::string> elements);

// The answers of "INSERTVLJOB", as the client's messages read them.
enum class QueueCode {
    Queued = 0,
    BadJob = 1, // "E" "200128": the record, the document or its state
    NoFlow = 2, // "E" "200129": no sign-off settings or no steps for the document type
};

struct QueueAnswer {
    QueueCode code = QueueCode::BadJob;
    std::string reason; // "" when queued
};

// Queues the record the client sent (a one-element array holding it) for the session:
// the job row, the first pass's steps in the history and the document's sign-off status "S".
QueueAnswer queueJob(Database& db, const SessionLogin& login, const Variant& args);

enum class Verdict { Approve, Return, Cancel };

struct DecisionResult {
    std::string status;    // the document's sign-off status afterwards
    int pass = 0;          // the pass decided
    int passes = 0;        // passes of the flow
    bool finished = false; // the job left the queue
};

// The operator's decision on the queued job of programId and documentKey in companyDb:
// approving signs the pending pass (and opens the next, or ends the job and applies its
// action to the document); returning or cancelling ends the job. signer is recorded as
// the one who signed (the step's recipient when empty). Raises WorkflowError when there
// is no such job, the document's state does not allow the action or confirmCheck refuses
// the change of confirmation code the approval would make.
// A program's own check of a document whose confirmation code the approval is about to set to
// code ("Y", "N" or "V"; an order's credit before "Y", its transfer before "N"), run inside the
// decision's transaction with the head locked: the refusal's text, or nullopt to go on.
using ConfirmCheck = std::function<std::optional<std::string>(Database&, const WorkflowJob&, const std::string& code)>;

DecisionResult decideJob(Database& db, const std::string& companyDb, const std::string& programId,
                         const std::string& documentKey, Verdict verdict, const std::string& signer,
                         const ConfirmCheck& confirmCheck = {});

// Whether a sign-off status holds the document in sign-off: sent and not yet decided. Such a
// document is closed to saves and deletes and to the direct confirm, unconfirm and void, or the
// decision would land on another document than the one sent.
bool signOffPending(const std::string& status);

// Whether a save may write the sign-off status: only the window's own "not sent" values, since
// the other states are the workflow's to set.
bool signOffSavable(const std::string& status);

// The time as VLHISTORY keeps it: YYYY-MM-DD HH:MM:SS, local.
std::string workflowTime();

} // namespace orvane
