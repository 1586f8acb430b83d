#include "server/services/ServicesObject.h"

#include "platform/text/ByteText.h"
#include "server/catalogue/LookupCatalogue.h"
#include "server/catalogue/LookupQuery.h"
#include "server/db/DbError.h"
#include "server/schema/SchemaBuilder.h"
#include "server/services/CallReads.h"
#include "server/services/CheckValueRow.h"
#include "server/services/DocumentNumbering.h"
#include "server/services/DocumentStore.h"
#include "server/services/PhraseMethods.h"
#include "server/services/ServiceError.h"
#include "server/services/SystemInfo.h"

namespace orvane {

namespace {

// The key fields of QueryMaxSeq: an array, or a text split at ",".
std::vector<std::string> fieldList(const Variant& fields)
{
    std::vector<std::string> out;
    if (fields.isArray()) {
        for (const auto& field : fields.array().elements())
            out.push_back(field.toString());
        return out;
    }
    return text::splitList(fields.toString(), ',', text::ListItems::AsWritten);
}

std::string firstValue(const Variant& value)
{
    if (value.isArray())
        return value.array().empty() ? std::string() : value.array().elements()[0].toString();
    return value.toString();
}

} // namespace

ServicesObject::ServicesObject(std::shared_ptr<ServiceContext> context)
    : SessionObject("OrvaneS.Services", std::move(context))
{
    method("GetSysInfo", 1, [this](std::span<Variant> args) { return getSysInfo(args); });
    method("CheckValue", 5, [this](std::span<Variant> args) { return checkValue(args); });
    method("QueryData", 5, [this](std::span<Variant> args) { return queryData(args); });
    method("QueryMaxSeq", 7, [this](std::span<Variant> args) { return queryMaxSeq(args); });
    method("GETCOUNTER", 3, [this](std::span<Variant> args) { return getCounter(args); });
    method("GetMessage", 2, [this](std::span<Variant> args) { return getMessage(args); });
    method("Today", 0, [](std::span<Variant>) { return Variant(todayText()); });
    method("GetDocument", 1, [this](std::span<Variant> args) { return getDocument(args); });
    method("GetPhrase2", 4, [this](std::span<Variant> args) {
        return this->context().withCompany(login(), [&](Database& db) { return getPhrase2(db, login(), args); });
    });
}

Variant ServicesObject::getSysInfo(std::span<Variant> args)
{
    checkCompanyId(args[0]);
    return context().withCompany(login(), [&](Database& db) { return systemParameters(db, login().companyDb); });
}

bool ServicesObject::preparesCalls(std::string_view name) const
{
    return readsTogether_ && text::equalsIgnoringAsciiCase(name, "CheckValue");
}

void ServicesObject::prepareCalls(std::string_view /*name*/, std::span<const std::vector<Variant>> calls)
{
    prepared_.clear();
    preparedCalls_ = 0;
    if (!loggedIn())
        return; // each call refuses itself
    context().withCompany(login(), [&](Database& db) {
        readsTogether_ = db.readsTogether();
        std::vector<ReusedRun> reads;
        for (const std::vector<Variant>& args : calls) {
            try {
                if (args.size() == 5)
                    reads.push_back(checkValueRead(db, login().companyDb,
                                                   checkValueEntry(args[0].toString(), args[1].toString()), args[3]));
            } catch (const std::exception&) {
                // A lookup the catalogue refuses is refused by its own call.
            }
        }
        if (!readsTogether_ || reads.size() < 2)
            return;
        // What fails here each call reads again and meets itself.
        CallReads(db, login().companyDb, &prepared_).readAhead(std::move(reads));
        preparedCalls_ = calls.size();
    });
}

Variant ServicesObject::invoke(std::string_view name, std::span<Variant> args)
{
    if (preparedCalls_ == 0)
        return SessionObject::invoke(name, args);
    // A read a call of the run left (a call refused before it read) is not kept for later calls,
    // which must read the data as it is then: the run's last call drops them however it ends.
    struct EndOfRun {
        KeptReads& reads;
        bool last;
        ~EndOfRun()
        {
            if (last)
                reads.clear();
        }
    } const end{prepared_, --preparedCalls_ == 0};
    return SessionObject::invoke(name, args);
}

Variant ServicesObject::checkValue(std::span<Variant> args)
{
    checkCompanyDb(args[2]);
    CheckedRow checked = context().withCompany(login(), [&](Database& db) {
        const LookupEntry& entry = checkValueEntry(args[0].toString(), args[1].toString());
        const ReusedRun read = checkValueRead(db, login().companyDb, entry, args[3]);
        SharedResult answer = prepared_.take(read.sql, read.params);
        if (!answer) { // a run's calls share the count of writes taken for the run
            KeptReads* run = prepared_.writeCount ? &prepared_ : nullptr;
            answer = CallReads(db, login().companyDb, run).read(read.sql, read.params);
        }
        return checkedRowOf(entry, *answer);
    });
    args[2] = login().companyDb;
    args[4] = std::move(checked.row);
    return checked.found;
}

Variant ServicesObject::queryData(std::span<Variant> args)
{
    checkCompanyDb(args[2]);
    const LookupEntry& entry = rowLookups().find(args[0].toString(), args[1].toString());
    auto rows = context().withCompany(
        login(), [&](Database& db) { return LookupQuery(db, login().companyDb).rows(entry, args[3]); });
    std::vector<Variant> found;
    for (auto& row : rows)
        if (LookupQuery::found(entry, row))
            found.push_back(Variant::arrayOf(std::move(row)));
    args[2] = login().companyDb;
    const bool any = !found.empty();
    args[4] = Variant::arrayOf(std::move(found));
    return any;
}

Variant ServicesObject::queryMaxSeq(std::span<Variant> args)
{
    const DocumentNumbering numbering(args[0].toString());
    const std::vector<std::string> fields = fieldList(args[1]);
    if (fields.size() != 2 || fields[0] != numbering.typeField() || fields[1] != numbering.numberField())
        throw ServiceError("QueryMaxSeq: the key fields of " + numbering.table() + " are " + numbering.typeField() +
                           "," + numbering.numberField());
    const std::string type = firstValue(args[2]);
    const std::string date = args[3].toString();
    args[1] = Variant::arrayOf({Variant(fields[0]), Variant(fields[1])});
    const auto answer =
        context().withCompany(login(), [&](Database& db) -> std::optional<std::pair<std::string, std::string>> {
            const auto rule = numbering.rule(db, login().companyDb, type);
            args[4] = rule ? rule->mode : std::string();
            if (!rule || !rule->automatic())
                return std::nullopt;
            auto [highest, next] = numbering.peek(db, login().companyDb, rule, type, date);
            return std::pair{std::move(highest), std::move(next)};
        });
    args[5] = answer ? answer->first : "unKnow";
    args[6] = answer ? answer->second : "unKnow";
    return answer.has_value();
}

Variant ServicesObject::getCounter(std::span<Variant> args)
{
    if (args[1].isArray() && args[1].dimensions() == 1 && args[1].array().size() >= 2) {
        checkCompanyId(args[1].array().elements()[0]);
        checkCompanyDb(args[1].array().elements()[1]);
    }
    const std::string name = args[0].toString();
    return context().withCompany(login(), [&](Database& db) {
        return context().methods().call(name, MethodCall{db, login(), args[2]});
    });
}

Variant ServicesObject::getMessage(std::span<Variant> args)
{
    return context().withSystem([&](Database& db) { return messageText(db, args[0].toString(), args[1].toString()); });
}

Variant ServicesObject::getDocument(std::span<Variant> args)
{
    if (!args[0].isString())
        throw ServiceError("GetDocument: the document reference must be text, not " +
                           std::string(typeName(args[0].type())));
    return context()
        .withCompany(login(), [&](Database& db) { return readDocument(db, login().companyDb, args[0].asString()); })
        .toVariant();
}

} // namespace orvane
