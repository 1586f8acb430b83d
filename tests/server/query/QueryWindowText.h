#pragma once
// Condition texts exactly as the client's query window and key condition build them,
// blanks included, so the tests feed the server what it really receives.

#include <string>
#include <vector>

namespace orvane::test {

// A key row of the first page: field, operator and value as typed.
struct KeyRow {
    std::string field;
    std::string op;
    std::string value;
};

// A quoted value with embedded quotes doubled.
inline std::string quoted(const std::string& value)
{
    std::string out = "'";
    for (char c : value)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// First page: "COPTC.TC001 = '2201' and COPTC.TC002 like '0305%'".
inline std::string keyRows(const std::string& table, const std::vector<KeyRow>& rows)
{
    std::string where;
    for (const auto& row : rows) {
        if (row.value.empty())
            continue;
        const bool like = row.op == "like";
        where += (where.empty() ? "" : " and ") + table + "." + row.field + " " + row.op + " " +
                 quoted(like ? row.value + "%" : row.value);
    }
    return where;
}

// One line of a condition list: "(COPTC.TC004 = 'C001')"; numeric values stay bare.
inline std::string conditionLine(const std::string& table, const std::string& field, const std::string& op,
                                 const std::string& value, bool numeric)
{
    const std::string typed = op == "like" ? value + "%" : value;
    return "(" + table + (table.empty() ? "" : ".") + field + " " + op + " " + (numeric ? typed : quoted(typed)) + ")";
}

// Second or third page: lines after the first start with two blanks and the logic.
inline std::string conditionList(const std::vector<std::string>& lines, const std::string& logic)
{
    std::string text;
    for (const auto& line : lines)
        text += text.empty() ? line : "\r\n  " + logic + " " + line;
    return text;
}

// The body filter: head part, then the count sub-query over the lines.
inline std::string lineFilter(const std::string& headPart, const std::string& bodyPart, const std::string& companyDb)
{
    const std::string links = " (COPTC.TC001=COPTD.TD001) and  (COPTC.TC002=COPTD.TD002)";
    std::string sub =
        " select count(*) FROM " + (companyDb.empty() ? "" : companyDb + "..") + "COPTD COPTD where " + links;
    if (!bodyPart.empty())
        sub += " and  ( " + bodyPart + " ) ";
    return headPart + (headPart.empty() ? "" : " and ") + " (" + sub + ") > 0 ";
}

} // namespace orvane::test
