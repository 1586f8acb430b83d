#include "server/services/WorkflowJob.h"

#include "platform/text/ByteText.h"
#include "server/db/Transaction.h"
#include "server/schema/SchemaBuilder.h"
#include "server/schema/Tables.h"
#include "server/services/SaveRights.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <optional>

namespace orvane {

namespace {

constexpr const char* pending = "待签核";
constexpr const char* approved = "同意";
constexpr const char* returned = "退件";
constexpr const char* cancelled = "撤销";

// The sign-off states a document can be sent from; the others are in sign-off.
bool freeToSend(const std::string& status)
{
    return status.empty() || status == "0" || status == "2" || status == "3" || status == "N";
}

// The status while a job of the action is between passes.
std::string betweenPasses(const std::string& action)
{
    return action == "2" ? "4" : action == "1" ? "5" : action == "0" ? "6" : "1";
}

const TableDef& companyTable(const std::string& name, const char* role)
{
    const TableDef* table = findTable(name);
    if (table == nullptr || table->scope != TableScope::Company)
        throw WorkflowError(std::string(role) + " '" + name + "' is not a table of a company database");
    return *table;
}

bool hasColumn(const TableDef& table, const std::string& column)
{
    return std::any_of(table.columns.begin(), table.columns.end(),
                       [&](const ColumnDef& c) { return text::equalsIgnoringAsciiCase(c.name, column); });
}

std::string checkedColumn(const TableDef& table, const std::string& column, const char* role)
{
    if (!hasColumn(table, column))
        throw WorkflowError(std::string(role) + " '" + column + "' is not a column of " + table.name);
    return text::upperCase(column);
}

std::vector<std::string> checkedColumns(const TableDef& table, const std::string& list, const char* role)
{
    std::vector<std::string> columns;
    for (const std::string& column : text::splitList(list, ',', text::ListItems::TrimmedNonEmpty))
        columns.push_back(checkedColumn(table, column, role));
    return columns;
}

// The key fields must be the table's primary key, in order: a shorter key would reach other documents.
std::vector<std::string> primaryKeyFields(const TableDef& table, const std::string& list, const char* role)
{
    std::vector<std::string> fields = checkedColumns(table, list, role);
    if (fields != table.primaryKey)
        throw WorkflowError(std::string(role) + "s '" + list + "' are not the primary key of " + table.name);
    return fields;
}

// The line table's key must lead with its link to the head, so that the lines reached are the document's.
void checkLineLink(const TableDef& head, const TableDef& lines, const std::vector<std::string>& lineKeys)
{
    const bool linked = std::any_of(lines.parents.begin(), lines.parents.end(), [&](const ParentLink& link) {
        return link.table == head.name && link.parentColumns == head.primaryKey &&
               lineKeys.size() >= link.columns.size() &&
               std::equal(link.columns.begin(), link.columns.end(), lineKeys.begin());
    });
    if (!linked)
        throw WorkflowError("The line keys of " + lines.name + " do not lead with its link to " + head.name);
}

// The status fields the job writes must be apart from each other and from the keys, or a write to
// one would overwrite another or move the document away from its key.
void checkStatusFields(const WorkflowJob& job)
{
    const auto isKey = [](const std::vector<std::string>& keys, const std::string& field) {
        return std::find(keys.begin(), keys.end(), field) != keys.end();
    };
    if (isKey(job.keyFields, job.signOffField) || isKey(job.keyFields, job.confirmField))
        throw WorkflowError("The sign-off and confirmation fields of " + job.headTable + " cannot be key fields");
    if (job.signOffField == job.confirmField)
        throw WorkflowError("The sign-off field " + job.signOffField + " cannot be the confirmation field");
    if (isKey(job.lineKeyFields, job.lineCloseField))
        throw WorkflowError("The line close field " + job.lineCloseField + " cannot be a key field of " + job.lineTable);
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : std::string(separator)) + parts[i];
    return text;
}

// The key values of a document key: the texts between the "||".
std::vector<std::string> keyValuesOf(const std::string& documentKey)
{
    std::vector<std::string> values;
    std::size_t start = 0;
    for (std::size_t bar = documentKey.find("||"); bar != std::string::npos; bar = documentKey.find("||", start)) {
        values.push_back(documentKey.substr(start, bar - start));
        start = bar + 2;
    }
    values.push_back(documentKey.substr(start));
    return values;
}

std::string describe(const WorkflowJob& job)
{
    return job.programId + " document " + job.documentKey + " (" + job.headTable + ")";
}

// " WHERE K1 = ? AND K2 = ?" over the first fields.size() columns.
std::string keyCondition(const std::vector<std::string>& fields, std::size_t count)
{
    std::string condition;
    for (std::size_t i = 0; i < count; ++i)
        condition += (i == 0 ? " WHERE " : " AND ") + fields[i] + " = ?";
    return condition;
}

std::vector<Variant> keyParams(const WorkflowJob& job, std::vector<Variant> leading = {})
{
    for (const std::string& value : job.keyValues)
        leading.emplace_back(value);
    return leading;
}

struct HeadState {
    std::string signOff;
    std::string confirm;
    std::string creator; // CREATOR and USR_GROUP: whose document it is, for the sender's right
    std::string group;
};

// The head of the job's document, locked; nothing when the document is gone.
std::optional<HeadState> lockedHeadIfAny(Database& db, const WorkflowJob& job)
{
    const SqlDialect& d = db.dialect();
    const std::string confirm = job.confirmField.empty() ? "''" : job.confirmField;
    const QueryResult found =
        db.query("SELECT " + job.signOffField + ", " + confirm + ", CREATOR, USR_GROUP FROM " +
                     d.companyTable(job.companyDb, job.headTable) + keyCondition(job.keyFields, job.keyFields.size()) +
                     " " + std::string(d.forUpdate()),
                 keyParams(job));
    if (found.rows.empty())
        return std::nullopt;
    const DbRow& row = found.rows[0];
    return HeadState{text::trim(row[0].toString()), text::trim(row[1].toString()), row[2].toString(),
                     row[3].toString()};
}

HeadState lockedHead(Database& db, const WorkflowJob& job)
{
    std::optional<HeadState> head = lockedHeadIfAny(db, job);
    if (!head)
        throw WorkflowError("There is no " + describe(job) + " in company database " + job.companyDb);
    return *head;
}

// ", FLAG = ..." counting a changed row's FLAG on as a save does, and its ROW_VERSION with it
// where the table keeps one, so that a client holding the old values is refused.
std::string countedChange(const std::string& table)
{
    std::string sets = ", FLAG = CASE WHEN FLAG >= 999 THEN 0 ELSE COALESCE(FLAG, 0) + 1 END";
    if (findTable(table)->versioned)
        sets += ", " + versionColumn().name + " = " + versionColumn().name + " + 1";
    return sets;
}

// The column naming who confirmed a document, beside its confirmation field; "" for none.
std::string approverColumn(const WorkflowJob& job)
{
    return job.headTable == "COPTC" && job.confirmField == "TC027" ? "TC040" : "";
}

// Sets the head's sign-off status (and a confirmation code), counting FLAG on as a save does. A
// confirmation names its signer as the approver, as the direct confirm names its user; an
// unconfirmation clears it.
void updateHead(Database& db, const WorkflowJob& job, const std::string& status, const std::string& confirm,
                const std::string& user)
{
    std::string sets = job.signOffField + " = ?";
    std::vector<Variant> params{status};
    if (!confirm.empty()) {
        sets += ", " + job.confirmField + " = ?";
        params.emplace_back(confirm);
        if (const std::string approver = approverColumn(job); !approver.empty() && confirm != "V") {
            sets += ", " + approver + " = ?";
            params.emplace_back(confirm == "Y" ? user : std::string());
        }
    }
    db.execute("UPDATE " + db.dialect().companyTable(job.companyDb, job.headTable) + " SET " + sets +
                   ", MODIFIER = ?, MODI_DATE = ?" + countedChange(job.headTable) + keyCondition(job.keyFields, job.keyFields.size()),
               keyParams(job, [&] {
                   params.insert(params.end(), {Variant(user), Variant(todayText())});
                   return params;
               }()));
}

void updateLines(Database& db, const WorkflowJob& job, const std::string& code, const std::string& user)
{
    if (code.empty() || job.lineTable.empty() || job.lineCloseField.empty())
        return;
    db.execute(
        "UPDATE " + db.dialect().companyTable(job.companyDb, job.lineTable) + " SET " + job.lineCloseField +
            " = ?, MODIFIER = ?, MODI_DATE = ?" + countedChange(job.lineTable) + keyCondition(job.lineKeyFields, job.keyFields.size()),
        keyParams(job, {code, user, todayText()}));
}

int passCount(Database& db, const std::string& companyDb, const std::string& flowCode)
{
    const QueryResult found = db.query(
        "SELECT MAX(FL002) FROM " + db.dialect().companyTable(companyDb, "VLFLOW") + " WHERE FL001 = ?", {flowCode});
    return found.rows.empty() ? 0 : static_cast<int>(found.rows[0][0].toIntegerOrZero());
}

// The history rows of a pass, received now.
void openPass(Database& db, const WorkflowJob& job, int round, int pass)
{
    const SqlDialect& d = db.dialect();
    const QueryResult steps = db.query("SELECT FL003, FL004, FL005 FROM " + d.companyTable(job.companyDb, "VLFLOW") +
                                           " WHERE FL001 = ? AND FL002 = ? ORDER BY FL003",
                                       {job.flowCode, pass});
    const std::string now = workflowTime();
    for (const DbRow& step : steps.rows)
        db.execute("INSERT INTO " + d.companyTable(job.companyDb, "VLHISTORY") +
                       " (HS001, HS002, HS003, HS004, HS005, HS006, HS007, HS008, HS009, HS010, HS011, HS012,"
                       " CREATOR, CREATE_DATE, FLAG) VALUES (?, ?, ?, ?, ?, ?, ?, '', ?, ?, '', ?, ?, ?, 1)",
                   {job.flowCode, job.documentKey, round, pass, step[0], step[1], now, pending, step[2], job.programId,
                    job.userId, todayText()});
}

// The flow code of the document type's sign-off settings; "" without settings.
std::string flowCodeOf(Database& db, const WorkflowJob& job)
{
    const QueryResult found = db.query("SELECT MQ003 FROM " + db.dialect().companyTable(job.companyDb, "ADMMQ") +
                                           " WHERE MQ001 = ? AND MQ002 = ?",
                                       {job.programId, job.keyValues.front()});
    return found.rows.empty() ? std::string() : text::trim(found.rows[0][0].toString());
}

std::vector<std::string> recordTexts(const Variant& args)
{
    const Variant record =
        args.isArray() && args.dimensions() == 1 && args.array().size() == 1 ? args.array().elements()[0] : Variant();
    if (!record.isArray() || record.dimensions() != 1 || record.array().size() != workflowRecordSize)
        throw WorkflowError("INSERTVLJOB takes one job record of " + std::to_string(workflowRecordSize) + " texts");
    std::vector<std::string> texts;
    for (const Variant& element : record.array().elements()) {
        if (!element.isString())
            throw WorkflowError("Element " + std::to_string(texts.size()) + " of the job record is not a text");
        texts.push_back(element.asString());
    }
    return texts;
}

// The change an action asks for; a job that changes no confirmation asks for an edit.
OrderChange changeOf(const std::string& action)
{
    return action == "3"                    ? OrderChange::Confirm
           : action == "2"                  ? OrderChange::Unconfirm
           : action == "1" || action == "0" ? OrderChange::Void
                                            : OrderChange::Edit;
}

// The sender as the company knows it, whatever the record says of its group.
struct Sender {
    SaveRights rights; // on the job's program as its window holds them; none without a rights row
                       // that says "Y" (any row, for a super user)
    std::string group; // ADMMF.MF004, the queue row's USR_GROUP
};

Sender sender(Database& db, const WorkflowJob& job)
{
    const SqlDialect& d = db.dialect();
    const QueryResult user = db.query(
        "SELECT MF004, MF006, MF005 FROM " + d.companyTable(job.companyDb, "ADMMF") + " WHERE MF001 = ?", {job.userId});
    if (user.rows.empty())
        throw WorkflowError("The sender " + job.userId + " is not a user of company database " + job.companyDb);
    const DbRow& row = user.rows[0];
    const QueryResult rights = db.query("SELECT MG003, MG006 FROM " + d.companyTable(job.companyDb, "ADMMG") +
                                            " WHERE MG001 = ? AND MG002 = ?",
                                        {job.userId, job.programId});
    if (rights.rows.empty() || (rights.rows[0][0].toString() != "Y" && row[2].toString() != "Y"))
        return {{}, row[0].toString()};
    return {{rights.rows[0][1].toString(), job.userId, row[1].toString()}, row[0].toString()};
}

// A job does what its action's command would, once approved: its sender must hold that command's
// right on the document, or any user could put another's document into sign-off, out of its
// creator's reach, and ask for what they may not do.
void checkSenderRight(const WorkflowJob& job, const HeadState& head, const Sender& from)
{
    const OrderChange change = changeOf(job.action);
    if (!from.rights.allows(change, head.creator, head.group))
        throw WorkflowError(noRightText(change, describe(job)));
}

void queueLocked(Database& db, const WorkflowJob& job)
{
    const SqlDialect& d = db.dialect();
    const HeadState head = lockedHead(db, job);
    if (!freeToSend(head.signOff))
        throw WorkflowError(describe(job) + " is in sign-off already (status " + head.signOff + ")");
    const Sender from = sender(db, job);
    checkSenderRight(job, head, from);
    if (!db.query("SELECT 1 FROM " + d.companyTable(job.companyDb, "VLJOBQUE") + " WHERE JOBKEY = ? AND PROGRAMID = ?",
                  {job.documentKey, job.programId})
             .rows.empty())
        throw WorkflowError(describe(job) + " is in the sign-off queue already");
    db.execute("INSERT INTO " + d.companyTable(job.companyDb, "VLJOBQUE") +
                   " (JOBKEY, PROGRAMID, ACTION, URGENCY, CONTACT, SENDER, SEND_DATE, STATUS, JOBDATA, CREATOR,"
                   " USR_GROUP, CREATE_DATE, FLAG) VALUES (?, ?, ?, ?, ?, ?, ?, 'Q', ?, ?, ?, ?, 1)",
               {job.documentKey, job.programId, job.action, job.urgency, job.contact, job.userId, todayText(),
                joined(job.elements, "\n"), job.userId, from.group, todayText()});
    const QueryResult rounds = db.query("SELECT MAX(HS003) FROM " + d.companyTable(job.companyDb, "VLHISTORY") +
                                            " WHERE HS001 = ? AND HS002 = ?",
                                        {job.flowCode, job.documentKey});
    const int round = static_cast<int>(rounds.rows.empty() ? 0 : rounds.rows[0][0].toIntegerOrZero()) + 1;
    openPass(db, job, round, 1);
    updateHead(db, job, "S", {}, job.userId);
}

// The confirmation code the approved action leaves; "" for an action that changes none.
std::string approvedCode(const WorkflowJob& job, const std::string& current)
{
    if (job.confirmField.empty() || job.action == "-1")
        return {};
    const bool open = current.empty() || current == "N";
    const bool allowed = job.action == "3"   ? open || current == "U"
                         : job.action == "2" ? current == "Y" || current == "U"
                         : job.action == "1" ? open
                                             : current == "V";
    if (!allowed)
        throw WorkflowError(describe(job) + " cannot take action " + job.action + " now: its " + job.confirmField +
                            " is '" + current + "'; nothing was changed");
    return job.action == "3" ? "Y" : job.action == "1" ? "V" : "N";
}

} // namespace

bool signOffPending(const std::string& status)
{
    return status == "S" || status == "1" || status == "4" || status == "5" || status == "6";
}

bool signOffSavable(const std::string& status)
{
    return status.empty() || status == "0" || status == "N";
}

std::string workflowTime()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char text[20];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

WorkflowJob workflowJob(std::vector<std::string> elements)
{
    if (elements.size() != workflowRecordSize)
        throw WorkflowError("A job record has " + std::to_string(workflowRecordSize) + " elements, not " +
                            std::to_string(elements.size()));
    for (const std::string& element : elements)
        if (std::any_of(element.begin(), element.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
            throw WorkflowError("The job record holds a control character in '" + element + "'");
    WorkflowJob job;
    const auto& e = elements;
    job.action = e[0];
    if (job.action != "3" && job.action != "2" && job.action != "1" && job.action != "0" && job.action != "-1")
        throw WorkflowError("The job's action '" + job.action + "' is none of 3, 2, 1, 0, -1");
    job.documentKey = e[1];
    job.urgency = e[2];
    job.contact = text::trim(e[3]);
    const TableDef& head = companyTable(text::upperCase(text::trim(e[4])), "The head table");
    job.headTable = head.name;
    job.keyFields = primaryKeyFields(head, e[6], "The key field");
    job.keyValues = keyValuesOf(job.documentKey);
    if (job.keyFields.empty() || job.keyValues.size() != job.keyFields.size() || joined(job.keyValues, ",") != e[7])
        throw WorkflowError("The document key '" + job.documentKey + "' does not match the key fields '" + e[6] +
                            "' and values '" + e[7] + "'");
    job.signOffField = checkedColumn(head, text::trim(e[9]), "The sign-off field");
    if (!text::trim(e[10]).empty())
        job.confirmField = checkedColumn(head, text::trim(e[10]), "The confirmation field");
    if (!text::trim(e[5]).empty()) {
        const TableDef& lines = companyTable(text::upperCase(text::trim(e[5])), "The line table");
        job.lineTable = lines.name;
        job.lineKeyFields = primaryKeyFields(lines, e[8], "The line key field");
        checkLineLink(head, lines, job.lineKeyFields);
        if (!text::trim(e[11]).empty())
            job.lineCloseField = checkedColumn(lines, text::trim(e[11]), "The line close field");
    }
    checkStatusFields(job);
    job.userId = e[12];
    job.companyId = e[13];
    job.companyDb = e[14];
    job.programId = text::upperCase(text::trim(e[15]));
    job.flowCode = e[17];
    job.codePage = e[18];
    if (job.programId.empty())
        throw WorkflowError("The job record names no program");
    job.elements = std::move(elements);
    return job;
}

QueueAnswer queueJob(Database& db, const SessionLogin& login, const Variant& args)
{
    try {
        WorkflowJob job = workflowJob(recordTexts(args));
        if (job.companyDb != login.companyDb || job.userId != login.userId)
            throw WorkflowError("The job record speaks for " + job.userId + " in " + job.companyDb +
                                ", not for the session's " + login.userId + " in " + login.companyDb);
        job.flowCode = flowCodeOf(db, job);
        if (job.flowCode.empty() || passCount(db, job.companyDb, job.flowCode) == 0)
            return {QueueCode::NoFlow, "No sign-off flow is set for " + describe(job)};
        // The job keeps its flow: settings changed while it waits would strand its steps.
        job.elements[17] = job.flowCode;
        inTransaction(db, [&] { queueLocked(db, job); });
        return {QueueCode::Queued, {}};
    } catch (const WorkflowError& e) {
        return {QueueCode::BadJob, e.what()};
    }
}

DecisionResult decideJob(Database& db, const std::string& companyDb, const std::string& programId,
                         const std::string& documentKey, Verdict verdict, const std::string& signer,
                         const ConfirmCheck& confirmCheck)
{
    DecisionResult result;
    inTransaction(db, [&] {
        const SqlDialect& d = db.dialect();
        const QueryResult queued = db.query("SELECT JOBDATA FROM " + d.companyTable(companyDb, "VLJOBQUE") +
                                                " WHERE JOBKEY = ? AND PROGRAMID = ? " + std::string(d.forUpdate()),
                                            {documentKey, text::upperCase(programId)});
        if (queued.rows.empty())
            throw WorkflowError("No job of " + text::upperCase(programId) + " document " + documentKey +
                                " is in the sign-off queue of company database " + companyDb);
        WorkflowJob job = workflowJob(text::splitList(queued.rows[0][0].toString(), '\n', text::ListItems::AsWritten));
        job.companyDb = companyDb;
        const std::string history = d.companyTable(companyDb, "VLHISTORY");
        const QueryResult step = db.query("SELECT MAX(HS003), MIN(HS004) FROM " + history +
                                              " WHERE HS001 = ? AND HS002 = ? AND HS008 = '' AND HS003 ="
                                              " (SELECT MAX(HS003) FROM " +
                                              history + " WHERE HS001 = ? AND HS002 = ?)",
                                          {job.flowCode, documentKey, job.flowCode, documentKey});
        if (step.rows.empty() || step.rows[0][1].isUnassignedOrNull())
            throw WorkflowError("No step of " + describe(job) + " waits for a decision in flow " + job.flowCode);
        const auto round = step.rows[0][0].toIntegerOrZero();
        result.pass = static_cast<int>(step.rows[0][1].toIntegerOrZero());
        result.passes = passCount(db, companyDb, job.flowCode);
        // A job whose document is gone can only be returned or cancelled, which removes it.
        const std::optional<HeadState> head =
            verdict == Verdict::Approve ? lockedHead(db, job) : lockedHeadIfAny(db, job);

        const bool last = verdict != Verdict::Approve || result.pass >= result.passes;
        const std::string code = verdict == Verdict::Approve && last ? approvedCode(job, head->confirm) : std::string();
        if (!code.empty() && confirmCheck)
            if (const auto refusal = confirmCheck(db, job, code))
                throw WorkflowError(*refusal + "; nothing was changed");
        const char* outcome = verdict == Verdict::Approve  ? approved
                              : verdict == Verdict::Return ? returned
                                                           : cancelled;
        db.execute("UPDATE " + history +
                       " SET HS008 = ?, HS009 = ?, HS011 = CASE WHEN ? = '' THEN HS010 ELSE ? END, MODIFIER = ?,"
                       " MODI_DATE = ? WHERE HS001 = ? AND HS002 = ? AND HS003 = ? AND HS004 = ? AND HS008 = ''",
                   {workflowTime(), outcome, signer, signer, signer, todayText(), job.flowCode, documentKey, round,
                    result.pass});
        const std::string user = signer.empty() ? std::string("VELTRA") : signer;
        if (!last) {
            openPass(db, job, static_cast<int>(round), result.pass + 1);
            result.status = betweenPasses(job.action);
        } else {
            result.status = verdict == Verdict::Approve ? "3" : verdict == Verdict::Return ? "2" : "0";
            db.execute("DELETE FROM " + d.companyTable(companyDb, "VLJOBQUE") + " WHERE JOBKEY = ? AND PROGRAMID = ?",
                       {documentKey, job.programId});
            if (head && (job.action == "3" || job.action == "2"))
                updateLines(db, job, code, user);
        }
        if (head)
            updateHead(db, job, result.status, code, user);
        result.finished = last;
    });
    return result;
}

} // namespace orvane
