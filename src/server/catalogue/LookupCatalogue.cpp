#include "server/catalogue/LookupCatalogue.h"

#include "platform/text/ByteText.h"
#include "server/catalogue/CatalogueError.h"
#include "server/catalogue/LookupDefs.h"
#include "server/db/SqlText.h"
#include "server/schema/Tables.h"

#include <algorithm>
#include <cctype>

namespace orvane {

namespace {

std::size_t markerCount(std::string_view sql)
{
    std::size_t count = 0;
    scanSql(sql, [&](std::string_view segment, bool code) {
        if (code)
            count += static_cast<std::size_t>(std::count(segment.begin(), segment.end(), '?'));
    });
    return count;
}

// Every "{TABLE}" must name a company table of the schema.
void checkTables(const LookupEntry& e)
{
    for (std::size_t open = e.from.find('{'); open != std::string::npos; open = e.from.find('{', open + 1)) {
        const std::size_t close = e.from.find('}', open);
        const std::string table = e.from.substr(open + 1, close == std::string::npos ? 0 : close - open - 1);
        const TableDef* def = findTable(table);
        if (!def || def->scope != TableScope::Company)
            throw CatalogueError("Lookup " + e.label() + " reads an unknown company table '" + table + "'");
    }
}

// Every table is named "{TABLE}" right after FROM or JOIN (or a subquery opens there): the server
// tells by those names whether an answer reads reference tables alone and may be kept.
void checkTablesNamed(const LookupEntry& e, std::string_view sql)
{
    scanSql(sql, [&](std::string_view segment, bool code) {
        if (!code)
            return;
        std::string upper(segment);
        for (char& c : upper)
            c = text::upperAscii(c);
        for (const std::string_view word : {"FROM", "JOIN"})
            for (std::size_t at = upper.find(word); at != std::string::npos; at = upper.find(word, at + 1)) {
                const bool wordStart =
                    at == 0 || !(std::isalnum(static_cast<unsigned char>(upper[at - 1])) || upper[at - 1] == '_');
                const std::size_t next = upper.find_first_not_of(' ', at + word.size());
                if (wordStart && next != std::string::npos && upper[next] != '{' && upper[next] != '(')
                    throw CatalogueError("Lookup " + e.label() +
                                         " names a table other than as {TABLE}: " + std::string(sql));
            }
    });
}

// Markers of the columns come first, then those of the FROM clause.
std::size_t markerCount(const LookupEntry& e)
{
    std::size_t count = markerCount(e.from);
    for (const auto& column : e.columns)
        count += markerCount(column.sql);
    return count;
}

void check(const LookupEntry& e)
{
    if (e.binds.size() != markerCount(e))
        throw CatalogueError("Lookup " + e.label() + " binds " + std::to_string(e.binds.size()) + " keys to " +
                             std::to_string(markerCount(e)) + " markers");
    for (const auto& bind : e.binds)
        if (bind.key >= e.keys.size())
            throw CatalogueError("Lookup " + e.label() + " binds key " + std::to_string(bind.key) + " of " +
                                 std::to_string(e.keys.size()));
    if (e.columns.empty() || e.requiredKeys > e.keys.size())
        throw CatalogueError("Lookup " + e.label() + " has no columns or more required keys than keys");
    checkTables(e);
    checkTablesNamed(e, "FROM " + e.from);
    for (const auto& column : e.columns)
        checkTablesNamed(e, column.sql);
}

// The order entries are kept in: by table without regard to ASCII case, then by kind; what
// tryFind searches by halves.
bool before(std::string_view tableA, std::string_view kindA, std::string_view tableB, std::string_view kindB)
{
    const auto folded = [](char c) { return static_cast<unsigned char>(text::upperAscii(c)); };
    if (!text::equalsIgnoringAsciiCase(tableA, tableB))
        return std::ranges::lexicographical_compare(tableA, tableB, {}, folded, folded);
    return kindA < kindB;
}

} // namespace

LookupCatalogue::LookupCatalogue(std::string name, std::vector<LookupEntry> entries)
    : name_(std::move(name)), entries_(std::move(entries))
{
    for (const auto& e : entries_)
        check(e);
    std::sort(entries_.begin(), entries_.end(),
              [](const LookupEntry& a, const LookupEntry& b) { return before(a.table, a.kind, b.table, b.kind); });
    const auto twin = std::adjacent_find(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
        return text::equalsIgnoringAsciiCase(a.table, b.table) && a.kind == b.kind;
    });
    if (twin != entries_.end())
        throw CatalogueError("The " + name_ + " catalogue holds " + twin->label() + " twice");
}

const LookupEntry* LookupCatalogue::tryFind(std::string_view table, std::string_view kind) const
{
    const auto it =
        std::lower_bound(entries_.begin(), entries_.end(), std::pair(table, kind),
                         [](const LookupEntry& e, const std::pair<std::string_view, std::string_view>& key) {
                             return before(e.table, e.kind, key.first, key.second);
                         });
    if (it == entries_.end() || it->kind != kind || !text::equalsIgnoringAsciiCase(it->table, table))
        return nullptr;
    return &*it;
}

const LookupEntry& LookupCatalogue::find(std::string_view table, std::string_view kind) const
{
    if (const LookupEntry* e = tryFind(table, kind))
        return *e;
    throw CatalogueError("Unknown " + name_ + ": table '" + std::string(table) + "' kind '" + std::string(kind) + "'");
}

const LookupCatalogue& rowLookups()
{
    static const LookupCatalogue catalogue = [] {
        std::vector<LookupEntry> entries;
        lookup::addAdminLookups(entries);
        lookup::addMasterLookups(entries);
        lookup::addCustomerLookups(entries);
        lookup::addItemLookups(entries);
        lookup::addSalesLookups(entries);
        return LookupCatalogue("row lookup", std::move(entries));
    }();
    return catalogue;
}

const LookupCatalogue& windowLists()
{
    static const LookupCatalogue catalogue = [] {
        std::vector<LookupEntry> entries;
        lookup::addPickLists(entries);
        lookup::addMasterLists(entries);
        lookup::addOrderInquiries(entries);
        return LookupCatalogue("lookup-window list", std::move(entries));
    }();
    return catalogue;
}

namespace lookup {

std::vector<LookupColumn> placed(std::size_t width, std::initializer_list<std::pair<std::size_t, LookupColumn>> columns)
{
    std::vector<LookupColumn> row(width, blank());
    for (const auto& [position, column] : columns)
        row.at(position) = column;
    return row;
}

LookupEntry entry(std::string table, std::string kind, LookupShape shape, std::string purpose,
                  std::vector<std::string> keys, std::vector<LookupColumn> columns, std::string from,
                  std::vector<KeyBind> binds)
{
    const std::size_t required = keys.size();
    if (binds.empty())
        for (std::size_t i = 0; i < keys.size(); ++i)
            binds.push_back(key(i));
    return {std::move(table), std::move(kind),  shape,   std::move(purpose), std::move(keys), std::move(columns),
            std::move(from),  std::move(binds), required};
}

} // namespace lookup

} // namespace orvane
