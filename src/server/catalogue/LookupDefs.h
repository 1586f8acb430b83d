#pragma once
// Shorthands for the lookup definition files, and the functions that add each family's
// lookups to a catalogue.

#include "server/catalogue/LookupEntry.h"

#include <initializer_list>
#include <utility>

namespace orvane::lookup {

inline LookupColumn col(std::string sql, std::string meaning, std::string format = {}, std::string name = {})
{
    return {std::move(sql), std::move(meaning), std::move(format), std::move(name)};
}
// Column 0 of a counted row that exists.
inline LookupColumn found()
{
    return {"1", "1 when found"};
}
// A position no caller reads.
inline LookupColumn blank()
{
    return {"''", "not used"};
}

inline KeyBind key(std::size_t index)
{
    return {index, KeyForm::Text};
}
inline KeyBind number(std::size_t index)
{
    return {index, KeyForm::Number};
}
inline KeyBind prefix(std::size_t index)
{
    return {index, KeyForm::Prefix};
}
inline KeyBind contains(std::size_t index)
{
    return {index, KeyForm::Contains};
}

// "column LIKE ?" blind to the case of ASCII letters and of those only, on both backends: both sides
// go through UPPER in the collation "C", where PostgreSQL's UPPER leaves full-width and accented
// letters alone as SQLite's does, whatever the database's locale.
inline std::string likeWithoutCase(const std::string& column)
{
    return "UPPER(" + column + " COLLATE \"C\") LIKE UPPER(? COLLATE \"C\") ESCAPE '\\'";
}

// A row of width columns: the placed ones at their positions, blanks elsewhere.
std::vector<LookupColumn> placed(std::size_t width,
                                 std::initializer_list<std::pair<std::size_t, LookupColumn>> columns);

// A lookup whose keys are all required and bound in order unless binds are given.
LookupEntry entry(std::string table, std::string kind, LookupShape shape, std::string purpose,
                  std::vector<std::string> keys, std::vector<LookupColumn> columns, std::string from,
                  std::vector<KeyBind> binds = {});

// The row lookups ("CheckValue" and "QueryData"), by family.
void addAdminLookups(std::vector<LookupEntry>& entries);
void addMasterLookups(std::vector<LookupEntry>& entries);
void addCustomerLookups(std::vector<LookupEntry>& entries);
void addItemLookups(std::vector<LookupEntry>& entries);
void addSalesLookups(std::vector<LookupEntry>& entries);
// The lookup-window lists ("GetF2Data"): pick lists and master-table lists.
void addPickLists(std::vector<LookupEntry>& entries);
void addMasterLists(std::vector<LookupEntry>& entries);
// The order window's inquiry lists (query numbers "62" to "68").
void addOrderInquiries(std::vector<LookupEntry>& entries);

} // namespace orvane::lookup
