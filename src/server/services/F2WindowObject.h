#pragma once
// "F2WindowS.Class1": the lookup service of the lookup window and of the shell's F2
// lookups. "GetF2Data"(request&, result&) answers one page of a list of the catalogue.
//
// Request: a LookupRequest; only its table, kind, keys and page are read (the page defaults
// to the first LookupPage::maxRows rows), the company is the session's.
// Result: a LookupAnswer with the list's column specification, the page's rows, whether more
// rows follow, the list's single-match flag and the columns' field names.
// Answer: the number of rows of the page, or -1 (and an empty result) for a table and kind
// that have no list. Plus "Login" and "Attach" (SessionObject).

#include "server/services/SessionObject.h"

namespace orvane {

class F2WindowObject : public SessionObject {
public:
    explicit F2WindowObject(std::shared_ptr<ServiceContext> context);

private:
    Variant getF2Data(std::span<Variant> args);
};

} // namespace orvane
