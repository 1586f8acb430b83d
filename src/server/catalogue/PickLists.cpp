// Pick lists of the code-entry handlers: the typed text, a partial code or name, gives
// the candidates; the caller takes the first column of the first row.
#include "server/catalogue/LookupDefs.h"

namespace orvane::lookup {

namespace {

// Codes starting with the text, or names containing it, compared without case.
std::string codeOrName(const std::string& table, const std::string& code, const std::string& name,
                       const std::string& fullName = {})
{
    std::string sql = "{" + table + "} WHERE " + likeWithoutCase(code) + " OR " + likeWithoutCase(name);
    if (!fullName.empty())
        sql += " OR " + likeWithoutCase(fullName);
    return sql + " ORDER BY " + code;
}

// A list of codes by partial code or name: a whole code typed is taken without the list.
LookupEntry codeList(LookupEntry list)
{
    list.takeTypedCode = true;
    return list;
}

} // namespace

void addPickLists(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(codeList(entry("ACTMA", "66", Data, "accounts by partial code or name", {"typed text"},
                                     {col("MA001", "科目编号"), col("MA002", "科目名称")},
                                     codeOrName("ACTMA", "MA001", "MA002"), {prefix(0), contains(0)})));
    entries.push_back(
        codeList(entry("COPMA", "61", Data, "customers by partial code or name", {"typed text"},
                       {col("MA001", "客户编号"), col("MA002", "客户简称"), col("MA003", "客户全称")},
                       codeOrName("COPMA", "MA001", "MA002", "MA003"), {prefix(0), contains(0), contains(0)})));
    entries.push_back(
        entry("COPMA", "62", Data, "customers whose short or full name contains the text", {"typed text"},
              {col("MA001", "客户编号"), col("MA002", "客户简称"), col("MA003", "客户全称")},
              "{COPMA} WHERE " + likeWithoutCase("MA002") + " OR " + likeWithoutCase("MA003") + " ORDER BY MA001",
              {contains(0), contains(0)}));
    entries.push_back(codeList(
        entry("INVMB", "63", Data, "items by bar code or partial code", {"typed text or bar code"},
              {col("MB001", "品号"), col("MB002", "品名"), col("MB003", "规格"), col("MB041", "条码")},
              "{INVMB} WHERE MB041 = ? OR " + likeWithoutCase("MB001") + " ORDER BY MB001", {key(0), prefix(0)})));
    // A bar code is the key of INVMH: it names one item, taken without showing the list.
    LookupEntry barCode = entry("INVMH", "01", Data, "the item of a bar code", {"bar code"},
                                {col("MH002", "品号"), col("MH001", "条码"), col("MH003", "单位")},
                                "{INVMH} WHERE MH001 = ? ORDER BY MH002");
    barCode.takeSingleMatch = true;
    entries.push_back(std::move(barCode));
    entries.push_back(
        codeList(entry("PURMA", "61", Data, "suppliers by partial code or name", {"typed text"},
                       {col("MA001", "供应商编号"), col("MA002", "供应商简称"), col("MA003", "供应商全称")},
                       codeOrName("PURMA", "MA001", "MA002", "MA003"), {prefix(0), contains(0), contains(0)})));
}

} // namespace orvane::lookup
