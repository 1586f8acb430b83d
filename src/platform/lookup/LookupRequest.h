#pragma once
// The request of a lookup list: what a program module asks the shell's lookup-window service
// ("F2GetData") and what the shell asks the server's lookup service ("GetF2Data").
//
// It crosses the automation boundary as a variant array with bounds 0..12, one element per
// member below in declaration order; the shell's request to the server adds the page it wants
// as elements 13 (first row) and 14 (rows). Client and server threads alike: a plain value.

#include "platform/variant/Variant.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

// The rows of a list wanted in one answer.
struct LookupPage {
    // Rows of one page at most; the lookup window keeps about this many rows per fetch.
    static constexpr std::int64_t maxRows = 1000;

    std::int64_t firstRow = 0;   // 0-based position of the page's first row
    std::int64_t rows = maxRows; // rows wanted, 1..maxRows

    bool operator==(const LookupPage&) const = default;
};

struct LookupRequest {
    std::string table;              // 0: the list's table ("COPMA")
    std::string kind;               // 1: the list's kind ("61")
    Variant keys;                   // 2: the list's keys: an array, one value or empty
    bool takeFirstRow = false;      // 3: the caller takes the first row without a window
    std::string text;               // 4: the caller's text (the typed text of code entry)
    std::string companyId;          // 5: company identifier
    std::string companyDb;          // 6: company database
    std::int64_t windowHandle = 0;  // 7: the window the list belongs to
    std::int64_t fixedOne = 1;      // 8: always 1 from a program module
    bool secondFlag = false;        // 9: the caller's second flag
    std::int64_t shellTag = 0;      // 10: the shell's own lookups' tag; 0 from a program module
    bool commands33or35 = false;    // 11: the caller's command set holds 33 or 35
    bool commands32or34 = false;         // 12: the caller's command set holds 32 or 34
    std::optional<LookupPage> page; // 13, 14: only on the shell's road to the server

    // The variant array: 13 elements, or 15 with the page.
    Variant toVariant() const;
    // Raises LookupShapeError naming the element that does not fit: a count other than 13 or
    // 15, an element of the wrong type, keys that are an object or a two-dimensional array, a
    // page outside 0.. and 1..maxRows rows.
    static LookupRequest fromVariant(const Variant& request);

    bool operator==(const LookupRequest&) const = default;
};

} // namespace orvane
