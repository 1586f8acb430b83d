#include "server/salesorder/OrderLevels.h"

#include "platform/text/ByteText.h"
#include "server/schema/Tables.h"

#include <stdexcept>

namespace orvane {

namespace {

// Companions are read as empty text or 0 when the master row is missing, as a field the
// client fills from a lookup that finds nothing.
Companion text(std::string name, int size, const std::string& column)
{
    return {std::move(name), FieldType::String, size, "COALESCE(" + column + ", '')"};
}

Companion number(std::string name, const std::string& column)
{
    return {std::move(name), FieldType::Float, 0, "COALESCE(" + column + ", 0)"};
}

const TableDef& schemaTable(std::string_view name)
{
    const TableDef* table = findTable(name);
    if (!table)
        throw std::logic_error("The schema has no table " + std::string(name));
    return *table;
}

// The name of a code from its master table, one row at most by the master's key.
Companion name(std::string field, int size, const std::string& table, const std::string& column,
               const std::string& where)
{
    return text(std::move(field), size, "(SELECT " + column + " FROM {" + table + "} WHERE " + where + ")");
}

// Masters that give several companions are joined; the others are looked up one by one,
// so that the head's statement stays small enough for every planner.
std::vector<Companion> headCompanions()
{
    return {
        text("TC001C1", 10, "Q.MQ002"),
        text("TC001C2", 2, "Q.MQ003"),
        text("MQ024C", 1, "Q.MQ024"),
        text("TC004C1", 10, "A.MA002"),
        text("TC004C2", 1, "A.MA020"),
        text("TC004C3", 1, "A.MA027"),
        number("TC004C4", "A.MA028"),
        text("TC004C5", 8, "A.MA030"),
        // The customer's trade-qualification scope kind: the first scope row, as GSPTH "01" answers.
        name("TC004C6", 1, "GSPTH", "MIN(TH002)", "TH001 = COPTC.TC004"),
        text("TC004C8", 10, "A.MA045"),
        text("MA087C", 1, "A.MA087"),
        text("MA097C", 1, "A.MA097"),
        name("TC005C1", 10, "CMSME", "ME002", "ME001 = COPTC.TC005"),
        name("TC006C1", 10, "CMSMK", "MK002", "MK001 = COPTC.TC006"),
        name("TC006C2", 1, "GSPTJ", "MIN(TJ002)", "TJ001 = COPTC.TC006"),
        name("TC007C1", 10, "CMSMB", "MB002", "MB001 = COPTC.TC007"),
        name("TC042C", 30, "CMSNA", "NA003", "NA001 = '2' AND NA002 = COPTC.TC042"),
        name("TC022C1", 10, "COPMA", "MA002", "MA001 = COPTC.TC022"),
        name("TC023C1", 10, "PURMA", "MA002", "MA001 = COPTC.TC023"),
        name("TC024C1", 10, "PURMA", "MA002", "MA001 = COPTC.TC024"),
        name("TC025C1", 10, "PURMA", "MA002", "MA001 = COPTC.TC025"),
        name("TC032C", 10, "COPMA", "MA002", "MA001 = COPTC.TC032"),
        name("TC033C", 10, "COPMA", "MA002", "MA001 = COPTC.TC033"),
        name("TC036C", 40, "CMSMO", "MO002", "MO001 = COPTC.TC036"),
        text("TC047C1", 40, "NB.MA006"),
        text("TC047C2", 20, "NB.MA002"),
        text("TC034C", 30, "MD.MD005"),
        text("TC034C1", 255, "MD.MD003"),
        text("TC034C2", 255, "MD.MD004"),
        name("TC040C", 10, "ADMMF", "MF002", "MF001 = COPTC.TC040"),
        text("TC049C1", 40, "TP.MA002"),
        text("TC049C2", 1, "TP.MA003"),
        text("TC049C3", 10, "TP.MA004"),
        name("TC049C4", 10, "PURMA", "MA002", "MA001 = TP.MA004"),
        text("TC049C5", 4, "TP.MA005"),
        text("TC049C6", 6, "TP.MA006"),
        name("TC049C7", 30, "CMSNA", "NA003", "NA001 = '1' AND NA002 = TP.MA006"),
        number("TC029C", "COPTC.TC029 + COPTC.TC030"),
    };
}

std::vector<std::string> headJoins()
{
    return {
        "LEFT JOIN {CMSMQ} Q ON Q.MQ001 = COPTC.TC001",
        "LEFT JOIN {COPMA} A ON A.MA001 = COPTC.TC004",
        "LEFT JOIN {NOTMA} NB ON NB.MA001 = COPTC.TC047",
        "LEFT JOIN {EPSMD} MD ON MD.MD001 = COPTC.TC004 AND MD.MD002 = COPTC.TC034",
        "LEFT JOIN {MTPMA} TP ON TP.MA001 = COPTC.TC049",
    };
}

std::vector<Companion> lineCompanions()
{
    return {
        text("TD007C", 10, "WH.MC002"),
        text("TD029C", 30, "PK.MC004"),
        text("TD010C1", 4, "IM.MB004"),
        text("TD004C", 1, "IM.MB006"),
        text("TD004C2", 1, "IM.MB016"),
        number("TD004C3", "IM.MB017"),
        // The item as last accepted: for a stored line, its item.
        text("TD004C4", 20, "COPTD.TD004"),
        text("TD004C5", 1, "IM.MB019"),
        text("TD004C6", 72, "IM.MB021"),
        text("TD004C7", 1, "IM.MB022"),
        text("TD004C103", 1, "IM.MB035"),
        text("TD004C104", 1, "IM.MB036"),
        text("TD004C105", 1, "IM.MB037"),
        text("TD004C106", 1, "IM.MB038"),
        text("TD004C107", 1, "IM.MB039"),
        text("TD004C108", 1, "IM.MB040"),
        number("TD004C051", "IM.MB027"),
        text("TD004C052", 1, "IM.MB028"),
        number("TD004C053", "IM.MB029"),
        number("TD004C054", "IM.MB030"),
        number("TD004C055", "IM.MB031"),
        number("TD004C056", "IM.MB032"),
        number("TD004C069", "IM.MB033"),
        number("TD004C070", "IM.MB034"),
    };
}

std::vector<std::string> lineJoins()
{
    return {
        "LEFT JOIN {INVMB} IM ON IM.MB001 = COPTD.TD004",
        "LEFT JOIN {CMSMC} WH ON WH.MC001 = COPTD.TD007",
        "LEFT JOIN {EPSMC} PK ON PK.MC001 = COPTD.TD004 AND PK.MC002 = COPTD.TD010 AND PK.MC003 = COPTD.TD029",
    };
}

std::vector<Companion> subLineCompanions()
{
    return {
        text("TM004C", 60, "FO.MB002"),  text("TM004C1", 60, "FO.MB003"), text("TM006C", 60, "CP.MB002"),
        text("TM006C1", 60, "CP.MB003"), text("MB025C", 1, "CP.MB025"),
    };
}

std::vector<std::string> subLineJoins()
{
    return {
        "LEFT JOIN {INVMB} FO ON FO.MB001 = COPTM.TM004",
        "LEFT JOIN {INVMB} CP ON CP.MB001 = COPTM.TM006",
    };
}

FieldDef fieldOf(const ColumnDef& column)
{
    switch (column.type) {
    case SqlType::Text: return FieldDef::string(column.name, column.size);
    case SqlType::Memo: return FieldDef::string(column.name, 0);
    case SqlType::Float: return FieldDef::of(column.name, FieldType::Float);
    case SqlType::Integer: return FieldDef::of(column.name, FieldType::Integer);
    }
    return FieldDef::string(column.name, column.size);
}

} // namespace

OrderLevel::OrderLevel(const TableDef& table, std::size_t linkCount, std::vector<Companion> companions,
                       std::vector<std::string> joins, std::string nestedName, const OrderLevel* child)
    : table_(&table), stored_(table.columns), linkCount_(linkCount), companions_(std::move(companions)),
      joins_(std::move(joins)), nestedName_(std::move(nestedName)), child_(child)
{
    stored_.insert(stored_.end(), auditColumns().begin(), auditColumns().end());
    for (const std::string& column : table.primaryKey)
        keyIndexes_.push_back(storedIndex(column));
}

int OrderLevel::storedIndex(std::string_view name) const
{
    for (std::size_t i = 0; i < stored_.size(); ++i) {
        if (text::equalsIgnoringAsciiCase(stored_[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<FieldDef> OrderLevel::fields() const
{
    std::vector<FieldDef> fields;
    fields.reserve(stored_.size() + companions_.size() + 1);
    for (const ColumnDef& column : stored_)
        fields.push_back(fieldOf(column));
    for (const Companion& companion : companions_) {
        fields.push_back(companion.type == FieldType::String ? FieldDef::string(companion.name, companion.size)
                                                             : FieldDef::of(companion.name, companion.type));
    }
    if (child_)
        fields.push_back(FieldDef::dataSet(nestedName_, child_->fields()));
    return fields;
}

std::string OrderLevel::selectSql(const SqlDialect& dialect, const std::string& companyDb) const
{
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < stored_.size(); ++i)
        sql += (i ? ", " : "") + name() + "." + stored_[i].name;
    for (const Companion& companion : companions_)
        sql += ", " + companion.expression;
    sql += ", " + name() + "." + versionColumn().name;
    sql += " FROM " + dialect.companyTable(companyDb, name());
    for (const std::string& join : joins_)
        sql += " " + join;
    return dialect.companyTables(sql, companyDb);
}

const OrderLevel& orderHeads()
{
    static const OrderLevel subLines(schemaTable("COPTM"), 3, subLineCompanions(), subLineJoins(), "", nullptr);
    static const OrderLevel lines(schemaTable("COPTD"), 2, lineCompanions(), lineJoins(), "qryFoot", &subLines);
    static const OrderLevel heads(schemaTable("COPTC"), 0, headCompanions(), headJoins(), "qryBody", &lines);
    return heads;
}

} // namespace orvane
