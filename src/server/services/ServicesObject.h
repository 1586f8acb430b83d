#pragma once
// "OrvaneS.Services": the server side of the shell's components for one session.
//
//   variable manager  "GetSysInfo"(company id&) -> [0..1, 0..n-1] names and values
//   validator         "CheckValue"(table, kind, company db&, keys&, result&) -> found; result = one row
//                     "QueryData"(same) -> found; result = an array of rows
//                     "QueryMaxSeq"(table&, key fields&, key values&, date&, mode&, highest&, next&) -> boolean
//   counter           "GETCOUNTER"(method&, [company id, company db]&, args) -> the named method's answer
//   host              "GetMessage"(type, code) -> text; "Today" -> the server's date YYYYMMDD
//   phrase service    "GetPhrase2"(field, text, number, phrase&) -> count (PhraseMethods.h)
//   document store    "GetDocument"(reference) -> [code, message, file name, base64 content]
//                     (DocumentStore.h)
//
// plus "Login" and "Attach" (SessionObject). Lookups come from the catalogue by table and
// kind; the company database is always the session's. Lookups that arrive together are read in
// one round trip where the backend sends reads together, each then answered from its read.

#include "server/db/KeptReads.h"
#include "server/services/SessionObject.h"

namespace orvane {

class ServicesObject : public SessionObject {
public:
    explicit ServicesObject(std::shared_ptr<ServiceContext> context);

    bool preparesCalls(std::string_view name) const override;
    void prepareCalls(std::string_view name, std::span<const std::vector<Variant>> calls) override;
    // Answers as every object does; the reads prepared for a run of calls end with the run.
    Variant invoke(std::string_view name, std::span<Variant> args) override;

private:
    Variant getSysInfo(std::span<Variant> args);
    Variant checkValue(std::span<Variant> args);
    Variant queryData(std::span<Variant> args);
    Variant queryMaxSeq(std::span<Variant> args);
    Variant getCounter(std::span<Variant> args);
    Variant getMessage(std::span<Variant> args);
    Variant getDocument(std::span<Variant> args);

    KeptReads prepared_;            // the lookups read for the calls announced, each taken by its call
    std::size_t preparedCalls_ = 0; // calls of the announced run still to come
    bool readsTogether_ = true;     // false once the backend turned out to run reads one by one
};

} // namespace orvane
