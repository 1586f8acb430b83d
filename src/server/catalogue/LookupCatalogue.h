#pragma once
// The declarative catalogue of numbered lookups: one entry per table and kind. Two
// catalogues exist: the row lookups the validator answers ("CheckValue" one row,
// "QueryData" every row) and the lists of the lookup window ("GetF2Data").
// Immutable after construction; any thread may read it.

#include "server/catalogue/LookupEntry.h"

#include <string_view>
#include <vector>

namespace orvane {

class LookupCatalogue {
public:
    // Takes the entries; raises CatalogueError for a duplicate table and kind or an
    // entry whose binds do not match its "?" markers and keys.
    LookupCatalogue(std::string name, std::vector<LookupEntry> entries);

    // The entry of a table and kind (table compared without case); raises CatalogueError naming both.
    const LookupEntry& find(std::string_view table, std::string_view kind) const;
    // The entry, or nullptr.
    const LookupEntry* tryFind(std::string_view table, std::string_view kind) const;
    // Every entry, sorted by table (without regard to case) and kind.
    const std::vector<LookupEntry>& entries() const { return entries_; }

private:
    std::string name_; // "row lookup" / "lookup-window list", for error texts
    std::vector<LookupEntry> entries_;
};

// The row lookups of "CheckValue" and "QueryData".
const LookupCatalogue& rowLookups();
// The lists of "GetF2Data" and the shell's "F2GetData".
const LookupCatalogue& windowLists();

} // namespace orvane
