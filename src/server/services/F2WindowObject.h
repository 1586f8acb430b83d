#pragma once
// "F2WindowS.Class1": the lookup service of the lookup window and of the shell's F2
// lookups. "GetF2Data"(request&, result&) answers one page of a list of the catalogue.
//
// Request, an array:  [0] table, [1] kind, [2] keys (an array, one value, or empty),
//                     [3] first row (0-based, default 0), [4] rows wanted (default and
//                     at most 1000).
// Result, an array:   [0] column specification "label$kind;..." (one entry per column),
//                     [1] the rows, each an array of the columns in order,
//                     [2] true when more rows follow the page.
// Answer: the number of rows of the page, or -1 (and an empty result) for a table and
// kind that have no list. Plus "Login" and "Attach" (SessionObject).

#include "server/services/SessionObject.h"

namespace orvane {

class F2WindowObject : public SessionObject {
public:
    // Rows of one page at most; the window keeps about this many rows locally.
    static constexpr int maxPage = 1000;

    explicit F2WindowObject(std::shared_ptr<ServiceContext> context);

private:
    Variant getF2Data(std::span<Variant> args);
};

} // namespace orvane
