#include "server/services/DictionaryMethods.h"

#include "server/db/Transaction.h"
#include "server/services/ServiceError.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

namespace orvane {

namespace {

constexpr const char* methodName = "DataDictionary";

// One dictionary table: its name, the language column and the columns the client's file holds.
struct DictionaryTable {
    const char* table;
    const char* language;
    std::vector<std::string> columns;
    const char* order;
};

const DictionaryTable fieldTable{"ADMMN",
                                 "MN010",
                                 {"MN001", "MN002", "MN003", "MN004", "MN005", "MN006", "MN007", "MN008", "MN009"},
                                 "MN002, MN003, MN004"};
const DictionaryTable listTable{
    "ADMMP", "MP007", {"MP001", "MP002", "MP003", "MP004", "MP005", "MP006"}, "MP001, MP002, MP003, MP004"};
const DictionaryTable objectTable{
    "ADMMO", "MO001", {"MO001", "MO002", "MO003", "MO004", "MO005", "MO006"}, "MO002, MO003, MO005"};

// 1 to 3 letters: the languages the client names its files with.
std::string checkedLanguage(const Variant& value)
{
    const std::string language = value.isString() ? value.toString() : std::string();
    bool letters = !language.empty() && language.size() <= 3;
    for (const char c : language)
        letters = letters && std::isalpha(static_cast<unsigned char>(c)) != 0;
    if (!letters)
        throw ServiceError(std::string(methodName) + ": the language is 1 to 3 letters (CHS, CHT, ENG)");
    return language;
}

std::string columnList(const std::vector<std::string>& columns)
{
    std::string list;
    for (const std::string& column : columns)
        list += (list.empty() ? "" : ", ") + column;
    return list;
}

DataPacket readTable(const MethodCall& call, const DictionaryTable& table, const std::string& language)
{
    const SqlDialect& d = call.db.dialect();
    const QueryResult result = call.db.query("SELECT " + columnList(table.columns) + " FROM " +
                                                 d.companyTable(call.login.companyDb, table.table) + " WHERE " +
                                                 table.language + " = ? ORDER BY " + table.order,
                                             {language});
    DataPacket packet;
    for (const std::string& column : table.columns)
        packet.fields.push_back(FieldDef::string(column, 255));
    for (const DbRow& row : result.rows)
        packet.rows.push_back({row, {}});
    return packet;
}

// FNV-1a over every value with its kind, as 16 hexadecimal digits.
std::string fingerprintOf(const DictionaryPackets& packets)
{
    std::uint64_t hash = 14695981039346656037ULL;
    const auto add = [&hash](std::string_view bytes) {
        for (const char c : bytes)
            hash = (hash ^ static_cast<std::uint8_t>(c)) * 1099511628211ULL;
    };
    for (const DataPacket* packet : {&packets.fields, &packets.lists, &packets.objects}) {
        add("\x1d");
        for (const PacketRow& row : packet->rows) {
            for (const Variant& value : row.values) {
                add(value.isUnassignedOrNull() ? "\x1f" : "\x1e");
                add(value.isUnassignedOrNull() ? std::string() : value.toString());
            }
        }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

Variant dataDictionary(const MethodCall& call)
{
    const std::vector<Variant> args = methodArgs(methodName, call.args, 2, 2);
    const std::string language = checkedLanguage(args[0]);
    const DictionaryPackets packets{readTable(call, fieldTable, language), readTable(call, listTable, language),
                                    readTable(call, objectTable, language)};
    const std::string fingerprint = fingerprintOf(packets);
    if (args[1].isString() && args[1].toString() == fingerprint)
        return Variant::arrayOf({fingerprint});
    return Variant::arrayOf(
        {fingerprint, packets.fields.toVariant(), packets.lists.toVariant(), packets.objects.toVariant()});
}

void replaceRows(Database& db, std::string_view companyDb, const DictionaryTable& table, const std::string& language,
                 const DataPacket& packet)
{
    const std::string name = db.dialect().companyTable(companyDb, table.table);
    db.query("DELETE FROM " + name + " WHERE " + std::string(table.language) + " = ?", {language});
    std::vector<std::size_t> kept; // packet columns the table has, the language column excluded
    std::vector<std::string> columns;
    for (std::size_t i = 0; i < packet.fields.size(); ++i) {
        for (const std::string& column : table.columns) {
            if (column == packet.fields[i].name && column != table.language) {
                kept.push_back(i);
                columns.push_back(column);
            }
        }
    }
    columns.push_back(table.language);
    std::string marks;
    for (std::size_t i = 0; i < columns.size(); ++i)
        marks += i == 0 ? "?" : ", ?";
    const std::string sql = "INSERT INTO " + name + " (" + columnList(columns) + ") VALUES (" + marks + ")";
    for (const PacketRow& row : packet.rows) {
        std::vector<Variant> values;
        for (const std::size_t i : kept)
            values.push_back(row.values[i]);
        values.emplace_back(language);
        db.query(sql, values);
    }
}

} // namespace

void registerDictionaryMethods(NamedMethods& methods)
{
    methods.add(methodName, dataDictionary);
}

void importDictionary(Database& db, std::string_view companyDb, std::string_view language,
                      const DictionaryPackets& packets)
{
    const std::string checked = checkedLanguage(Variant(language));
    // A mistyped company must not make a new, empty company database.
    if (!db.hasCompany(std::string(companyDb)))
        throw ServiceError("data dictionary: no company database " + std::string(companyDb));
    db.ensureCompany(std::string(companyDb));
    Transaction transaction(db);
    replaceRows(db, companyDb, fieldTable, checked, packets.fields);
    replaceRows(db, companyDb, listTable, checked, packets.lists);
    replaceRows(db, companyDb, objectTable, checked, packets.objects);
    transaction.commit();
}

} // namespace orvane
