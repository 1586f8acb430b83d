// Lists of the lookup window for the masters. Every key is optional: an empty key
// filters nothing. The last key of each list is a search text that matches codes
// starting with it or names containing it.
#include "server/catalogue/LookupDefs.h"
#include "server/schema/Tables.h"

namespace orvane::lookup {

namespace {

struct ListFilter {
    std::string column;           // compared for equality when the key is not empty
    std::string meaning;          // the key's meaning
    bool required = false;        // the key must be given (and is compared even when empty)
    KeyForm form = KeyForm::Text; // Contains: the column holds the key among other characters
};

// "(? = '' OR column = ?)": an optional key that filters nothing when empty; adds its binds.
std::string optionalEqual(const std::string& column, std::size_t index, std::vector<KeyBind>& binds)
{
    binds.insert(binds.end(), {key(index), key(index)});
    return "(? = '' OR " + column + " = ?)";
}

// The list's order: its code, then the rest of the table's key. Rows sharing a code (the rates of
// one currency, the prices of one item) otherwise come in whatever order the backend's sort leaves
// them, which PostgreSQL changes with the page's LIMIT and OFFSET: the lookup window's next page
// then repeated rows of the last one and never showed others.
std::string keyOrder(const std::string& table, const std::string& code)
{
    std::string order = code;
    if (const TableDef* def = findTable(table)) // an unknown table is refused by the catalogue's check
        for (const std::string& column : def->primaryKey)
            if (column != code)
                order += ", " + column;
    return order;
}

LookupEntry masterList(std::string table, std::string kind, std::string purpose, std::vector<LookupColumn> columns,
                       const std::string& code, const std::string& name, const std::vector<ListFilter>& filters = {})
{
    std::vector<std::string> keys;
    std::vector<KeyBind> binds;
    std::string where;
    std::size_t required = 0;
    for (const auto& filter : filters) {
        const std::string test =
            filter.form == KeyForm::Contains ? likeWithoutCase(filter.column) : filter.column + " = ?";
        const KeyBind bind{keys.size(), filter.form};
        if (filter.required) {
            where += test + " AND ";
            binds.push_back(bind);
            ++required;
        } else if (filter.form == KeyForm::Text) {
            where += optionalEqual(filter.column, keys.size(), binds) + " AND ";
        } else {
            where += "(? = '' OR " + test + ") AND ";
            binds.insert(binds.end(), {key(keys.size()), bind});
        }
        keys.push_back(filter.meaning);
    }
    where += "(? = '' OR " + likeWithoutCase(code) + " OR " + likeWithoutCase(name) + ")";
    binds.insert(binds.end(), {key(keys.size()), prefix(keys.size()), contains(keys.size())});
    keys.push_back("search text (code prefix or part of the name)");
    LookupEntry e =
        entry(table, std::move(kind), LookupShape::Data, std::move(purpose), std::move(keys), std::move(columns),
              "{" + table + "} WHERE " + where + " ORDER BY " + keyOrder(table, code), std::move(binds));
    e.requiredKeys = required;
    return e;
}

void addPlaceLists(std::vector<LookupEntry>& entries)
{
    entries.push_back(
        masterList("CMSMB", "01", "factories",
                   {col("MB001", "工厂编号"), col("MB002", "工厂名称"), col("MB003", "工厂全称"), col("MB004", "地址")},
                   "MB001", "MB002"));
    entries.push_back(masterList(
        "CMSMC", "01", "warehouses, of one factory when given",
        {col("MC001", "仓库编号"), col("MC002", "仓库名称"), col("MC003", "工厂"), col("MC004", "预设仓库", "L")},
        "MC001", "MC002", {{"MC003", "factory"}}));
    entries.push_back(masterList("CMSME", "01", "departments", {col("ME001", "部门编号"), col("ME002", "部门名称")},
                                 "ME001", "ME002"));
    entries.push_back(masterList("CMSMW", "01", "processes",
                                 {col("MW001", "工艺编号"), col("MW002", "工艺名称"), col("MW003", "工作中心")},
                                 "MW001", "MW002"));
    entries.push_back(masterList("INVLD", "01", "projects",
                                 {col("LD001", "项目编号"), col("LD002", "项目名称"), col("LD003", "客户"),
                                  col("LD004", "开始日期", "D"), col("LD005", "结束日期", "D")},
                                 "LD001", "LD002"));
    entries.push_back(masterList("ZTKMA", "01", "workflow contacts",
                                 {col("MA001", "人员编号"), col("MA002", "姓名"), col("MA003", "部门")}, "MA001",
                                 "MA002"));
}

void addTradeLists(std::vector<LookupEntry>& entries)
{
    entries.push_back(masterList(
        "CMSMF", "01", "currencies",
        {col("MF001", "币种"), col("MF002", "币种名称"), col("MF003", "单价小数位"), col("MF004", "金额小数位")},
        "MF001", "MF002"));
    // F2 on TC009 takes column 0: the buying rate, the rate ExchangeRate answers for kind "I".
    entries.push_back(masterList("CMSMG", "01", "exchange rates, of one currency when given",
                                 {col("MG003", "银行买入汇率"), col("MG001", "币种"), col("MG002", "生效日期", "D"),
                                  col("MG004", "银行卖出汇率"), col("MG005", "报关汇率")},
                                 "MG001", "MG001", {{"MG001", "currency"}}));
    // Staff of one role, as the salesperson check (CMSMK "01" with role 3) accepts them.
    entries.push_back(masterList("CMSMK", "01", "staff of a role",
                                 {col("MK001", "人员编号"), col("MK002", "姓名"), col("MK003", "部门")}, "MK001",
                                 "MK002", {{"MK004", "role (3 salesperson)", true, KeyForm::Contains}}));
    entries.push_back(masterList("CMSMO", "01", "banks",
                                 {col("MO001", "银行编号"), col("MO002", "银行名称"), col("MO003", "银行全称")},
                                 "MO001", "MO002"));
    entries.push_back(masterList("CMSMQ", "01", "document types, of one kind when given",
                                 {col("MQ001", "单别"), col("MQ002", "单据名称"), col("MQ003", "单据性质")}, "MQ001",
                                 "MQ002", {{"MQ003", "document kind (22 sales order ...)"}}));
    entries.push_back(masterList("CMSNA", "01", "payment terms of a term kind",
                                 {col("NA002", "付款条件编号"), col("NA003", "付款条件名称"), col("NA004", "天数")},
                                 "NA002", "NA003", {{"NA001", "term kind (2 sales)", true}}));
    entries.push_back(
        masterList("NOTMA", "01", "bank accounts",
                   {col("MA001", "账户编号"), col("MA005", "账户简称"), col("MA002", "账号"), col("MA004", "币种")},
                   "MA001", "MA005"));
    entries.push_back(masterList("PURMA", "01", "suppliers",
                                 {col("MA001", "供应商编号"), col("MA002", "供应商简称"), col("MA003", "供应商全称")},
                                 "MA001", "MA002"));
    entries.push_back(masterList("MTPMA", "01", "multi-party trade processes",
                                 {col("MA001", "流程编号"), col("MA002", "流程名称"), col("MA004", "下游供应商")},
                                 "MA001", "MA002"));
}

void addCustomerLists(std::vector<LookupEntry>& entries)
{
    entries.push_back(masterList("COPMA", "01", "customers",
                                 {col("MA001", "客户编号"), col("MA002", "客户简称"), col("MA003", "客户全称"),
                                  col("MA006", "业务人员"), col("MA007", "币种")},
                                 "MA001", "MA002"));
    // F2 on TC010 takes column 0, the address text itself.
    entries.push_back(
        masterList("COPMD", "01", "delivery addresses of a customer",
                   {col("MD003", "地址"), col("MD002", "地址编号"), col("MD004", "地址二"), col("MD005", "联系人")},
                   "MD002", "MD003", {{"MD001", "customer"}}));
    entries.push_back(masterList("COPMG", "01", "customer item numbers of a customer",
                                 {col("MG003", "客户品号"), col("MG002", "品号"), col("MG004", "客户品名")}, "MG003",
                                 "MG004", {{"MG001", "customer"}}));
    entries.push_back(masterList("COPMF", "01", "open sales forecasts of a customer",
                                 {col("MF001", "预测单号"), col("MF002", "序号"), col("MF006", "品号"),
                                  col("MF011", "预测日期", "D"), col("MF012", "预测数量")},
                                 "MF001", "MF006", {{"MF003", "customer"}, {"MF013", "closed flag (N open)"}}));
    entries.push_back(
        masterList("EPSMD", "01", "shipping marks of a customer",
                   {col("MD002", "唛头代号"), col("MD005", "唛头名称"), col("MD003", "正唛"), col("MD004", "侧唛")},
                   "MD002", "MD005", {{"MD001", "customer"}}));
}

// The quotation lines an order line may take (F2 on TD017, which takes columns 0 to 2 into
// TD017, TD018, TD019): the keys filter as COPTA "02" checks the line, each only when given.
LookupEntry quotationLines()
{
    const std::vector<std::string> keys{
        "customer", "salesperson",
        "currency", "document date (within the validity)",
        "tax type", "search text (quotation number or item prefix, or part of the item name)"};
    std::vector<KeyBind> binds;
    // Statement by statement, so the binds follow the markers in order.
    std::string where = optionalEqual("A.TA004", 0, binds);
    where += " AND " + optionalEqual("A.TA006", 1, binds);
    where += " AND " + optionalEqual("A.TA008", 2, binds);
    where += " AND (? = '' OR ((A.TA028 = '' OR A.TA028 <= ?) AND (A.TA029 = '' OR A.TA029 >= ?)))";
    binds.insert(binds.end(), {key(3), key(3), key(3)});
    where += " AND " + optionalEqual("A.TA012", 4, binds);
    where += " AND (? = '' OR " + likeWithoutCase("B.TB002") + " OR " + likeWithoutCase("B.TB004") + " OR " +
             likeWithoutCase("B.TB005") + ")";
    binds.insert(binds.end(), {key(5), prefix(5), prefix(5), contains(5)});
    LookupEntry e =
        entry("COPTA", "02", LookupShape::Data, "quotation lines valid for an order head", keys,
              {col("B.TB001", "单别", "C"), col("B.TB002", "单号", "C"), col("B.TB003", "序号", "C"),
               col("A.TA003", "报价日期", "D"), col("A.TA004", "客户"), col("B.TB004", "品号"), col("B.TB005", "品名"),
               col("B.TB006", "规格"), col("B.TB007", "数量"), col("B.TB008", "单位"), col("B.TB009", "单价")},
              "{COPTB} B JOIN {COPTA} A ON A.TA001 = B.TB001 AND A.TA002 = B.TB002 WHERE " + where +
                  " ORDER BY B.TB001, B.TB002, B.TB003",
              std::move(binds));
    e.requiredKeys = 0;
    return e;
}

// What a customer paid for items before, latest first (F3 on TD011, which takes column 0).
LookupEntry priceHistory()
{
    std::vector<KeyBind> binds;
    std::string where = optionalEqual("TH001", 0, binds);
    where += " AND " + optionalEqual("TH002", 1, binds);
    where += " AND " + optionalEqual("TH004", 2, binds);
    LookupEntry e =
        entry("COPTH", "01", LookupShape::Data, "price history, of one customer, item and currency when given",
              {"customer", "item", "currency"},
              {col("TH006", "单价"), col("TH005", "日期", "D"), col("TH001", "客户"), col("TH002", "品号"),
               col("TH003", "单位"), col("TH004", "币种"), col("TH007", "数量"), col("TH008", "单别", "C"),
               col("TH009", "单号", "C")},
              "{COPTH} WHERE " + where + " ORDER BY TH005 DESC, TH008, TH009, TH010", std::move(binds));
    e.requiredKeys = 0;
    return e;
}

void addDocumentLists(std::vector<LookupEntry>& entries)
{
    entries.push_back(masterList("COPTA", "04", "quotations, of one customer when given",
                                 {col("TA001", "单别"), col("TA002", "单号"), col("TA003", "报价日期", "D"),
                                  col("TA004", "客户"), col("TA008", "币种"), col("TA032", "报价金额")},
                                 "TA002", "TA004",
                                 {{"TA001", "quotation type"}, {"TA004", "customer"}, {"TA027", "confirmation code"}}));
    entries.push_back(quotationLines());
    entries.push_back(entry("COPTE", "02", LookupShape::Data, "change history of an order line",
                            {"order type", "order number", "order line"},
                            {col("TE004", "变更序号", "C"), col("TE005", "变更日期", "D"), col("TE006", "品号"),
                             col("TE007", "变更前数量"), col("TE008", "变更后数量"), col("TE009", "变更前单价"),
                             col("TE010", "变更后单价"), col("TE011", "变更前预交日", "D"),
                             col("TE012", "变更后预交日", "D"), col("TE013", "变更原因")},
                            "{COPTE} WHERE TE001 = ? AND TE002 = ? AND TE003 = ? ORDER BY TE004"));
    entries.push_back(priceHistory());
    // The features and options of one configurable item (F2 and F3 on TM004).
    LookupEntry options =
        entry("BOMMD", "05", LookupShape::Data, "features and options of a configurable item",
              {"configurable item", "type F or O (empty: both)"},
              {col("D.MD003", "品号"), col("I.MB002", "品名"), col("I.MB003", "规格"), col("I.MB025", "属性")},
              "{BOMMD} D JOIN {INVMB} I ON I.MB001 = D.MD003 WHERE D.MD001 = ? AND "
              "I.MB025 IN ('F', 'O') AND (? = '' OR I.MB025 = ?) ORDER BY D.MD002",
              {key(0), key(1), key(1)});
    options.requiredKeys = 1;
    entries.push_back(std::move(options));
}

void addItemLists(std::vector<LookupEntry>& entries)
{
    entries.push_back(masterList("INVMB", "01", "items",
                                 {col("MB001", "品号"), col("MB002", "品名"), col("MB003", "规格"),
                                  col("MB004", "库存单位"), col("MB025", "品号属性")},
                                 "MB001", "MB002"));
    // F2 on TD008 takes column 0, the quantity on hand in a warehouse.
    entries.push_back(
        masterList("INVMC", "01", "stock of an item by warehouse",
                   {col("MC003", "库存数量"), col("MC002", "仓库"), col("MC001", "品号"), col("MC004", "库存包装数量")},
                   "MC002", "MC002", {{"MC001", "item"}}));
    entries.push_back(masterList("INVMD", "01", "conversion units of an item",
                                 {col("MD002", "单位"), col("MD003", "换算分子"), col("MD004", "换算分母")}, "MD002",
                                 "MD002", {{"MD001", "item"}}));
    entries.push_back(masterList(
        "EPSMC", "01", "packing methods of an item and unit",
        {col("MC003", "包装方式"), col("MC004", "包装名称"), col("MC005", "外箱装量"), col("MC010", "内盒装量")},
        "MC003", "MC004", {{"MC001", "item"}, {"MC002", "unit"}}));
    entries.push_back(masterList("COPMB", "02", "prices of a customer's items",
                                 {col("MB002", "品号"), col("MB006", "单价"), col("MB003", "单位"),
                                  col("MB004", "币种"), col("MB005", "生效日期", "D")},
                                 "MB002", "MB002", {{"MB001", "customer"}}));
    entries.push_back(masterList("BOMMC", "01", "bill of material heads",
                                 {col("MC001", "主件品号"), col("MC002", "批量"), col("MC003", "生效日期", "D")},
                                 "MC001", "MC004"));
}

} // namespace

void addMasterLists(std::vector<LookupEntry>& entries)
{
    addPlaceLists(entries);
    addTradeLists(entries);
    addCustomerLists(entries);
    addItemLists(entries);
    addDocumentLists(entries);
}

} // namespace orvane::lookup
