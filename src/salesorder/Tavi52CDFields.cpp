// The fields of the order's three datasets, in dataset order, with their handlers, and the grid
// editor bindings.
#include "salesorder/Tavi52CD.h"

#include "platform/text/CodePage.h"

#include <cstdint>
#include <span>

namespace orvane {

namespace {

using GetTextFn = void (TdmTavi52::*)(Field&, std::string&, bool);
using SetTextFn = void (TdmTavi52::*)(Field&, std::string_view);
using ValidateFn = void (TdmTavi52::*)(Field&);

enum Marks : std::uint8_t {
    Shown = 0,
    Hidden = 1,
    ReadOnly = 2,
    Audit = 4, // the row stands for the seven audit fields
};

constexpr FieldType S = FieldType::String;
constexpr FieldType F = FieldType::Float;
constexpr FieldType N = FieldType::DataSet;

struct FieldSpec {
    std::string_view name;
    FieldType type = S;
    int size = 0;           // strings: 0 is 20
    const char* label = ""; // UTF-8
    int width = 0;          // 0: the size for strings, 10 otherwise
    std::uint8_t marks = Shown;
    GetTextFn getText = nullptr;
    SetTextFn setText = nullptr;
    ValidateFn validate = nullptr;
};

std::vector<FieldDef> auditFieldDefs(bool hidden)
{
    std::vector<FieldDef> defs;
    for (const std::string_view name : auditFieldNames) {
        FieldDef def = name == "FLAG" ? FieldDef::of(std::string(name), F)
                                      : FieldDef::string(std::string(name), name.ends_with("DATE") ? 8 : 10);
        def.displayWidth = name.ends_with("DATE") ? 8 : 10;
        def.visible = !hidden;
        defs.push_back(std::move(def));
    }
    return defs;
}

std::vector<FieldDef> fieldDefs(std::span<const FieldSpec> specs)
{
    std::vector<FieldDef> defs;
    for (const FieldSpec& spec : specs) {
        if ((spec.marks & Audit) != 0) {
            for (FieldDef& def : auditFieldDefs((spec.marks & Hidden) != 0))
                defs.push_back(std::move(def));
            continue;
        }
        FieldDef def;
        def.name = std::string(spec.name);
        def.type = spec.type;
        def.size = spec.type == S ? (spec.size == 0 ? 20 : spec.size) : 0;
        def.displayLabel = text::utf8ToLocal(spec.label);
        def.displayWidth = spec.width;
        def.visible = (spec.marks & Hidden) == 0;
        def.readOnly = (spec.marks & ReadOnly) != 0;
        defs.push_back(std::move(def));
    }
    return defs;
}

// "FIELD;CustomEdit;cboFIELDG" for each field.
std::vector<std::string> editors(std::initializer_list<std::string_view> fields)
{
    std::vector<std::string> bindings;
    for (const std::string_view field : fields)
        bindings.push_back(std::string(field) + ";CustomEdit;cbo" + std::string(field) + "G");
    return bindings;
}

} // namespace

void TdmTavi52::defineFields()
{
    using T = TdmTavi52;
    const GetTextFn date = &T::DateFieldGetText;
    const SetTextFn dateSet = &T::DateFieldSetText;
    const GetTextFn percent = &T::PercentFieldGetText;
    const SetTextFn percentSet = &T::PercentFieldSetText;
    const SetTextFn customer = &T::CustomerFieldSetText;
    const GetTextFn mark = &T::DoMarkGetText;
    const SetTextFn markSet = &T::DoMarkSetText;

    const FieldSpec subLines[] = {
        {"TM004", S, 20, "F/O品号", 20, Shown, nullptr, &T::cdsFootTM004SetText, &T::cdsFootTM004Validate},
        {"TM004C", S, 60, "品名"},
        {"TM004C1", S, 60, "规格"},
        {"TM005", S, 1, "类型", 13, ReadOnly},
        {"TM006", S, 20, "料件品号", 20, Shown, nullptr, &T::cdsFootTM006SetText, &T::cdsFootTM006Validate},
        {"TM006C", S, 60, "品名"},
        {"TM006C1", S, 60, "规格"},
        {"TM007", F, 0, "数量", 10, Shown, nullptr, nullptr, &T::cdsFootTM007Validate},
        {"TM008", S, 4, "工艺顺序", 4, Shown, nullptr, nullptr, &T::cdsFootTM008Validate},
        {"TM009", S, 1, "材料类型", 12},
        {"TM010", F, 0, "投料间距", 10, Shown, nullptr, nullptr, &T::cdsFootTM010Validate},
        {"TM011", S, 255, "备注", 20},
        {"MB025C", S, 1, "属性", 13, Hidden},
        {"TM001", S, 4, "", 4, Hidden},
        {"TM002", S, 11, "", 11, Hidden},
        {"TM003", S, 4, "", 4, Hidden},
        {"", S, 0, "", 0, Audit | Hidden},
    };
    const FieldSpec lines[] = {
        {"TD003", S, 4, "序号", 4},
        {"TD004", S, 20, "品号", 20, Shown, nullptr, &T::cdsBody1TD004SetText, &T::cdsBody1TD004Validate},
        {"TD005", S, 60, "品名"},
        {"TD006", S, 60, "规格"},
        {"TD007", S, 10, "仓库", 10, Shown, nullptr, nullptr, &T::cdsBody1TD007Validate},
        {"TD007C", S, 10, "仓库名称", 10, ReadOnly},
        {"TD008", F, 0, "订单数量", 10, Shown, nullptr, nullptr, &T::cdsBody1TD008Validate},
        {"TD009", F, 0, "已交数量", 10, ReadOnly, nullptr, nullptr, &T::cdsBody1TD009Validate},
        {"TD024", F, 0, "赠品量", 10, Shown, nullptr, nullptr, &T::cdsBody1TD024Validate},
        {"TD025", F, 0, "赠品已交量", 10, ReadOnly, nullptr, nullptr, &T::cdsBody1TD025Validate},
        {"TD010", S, 4, "单位", 6, Shown, nullptr, nullptr, &T::cdsBody1TD010Validate},
        {"TD023", S, 4, "小单位", 4},
        {"TD032", F, 0, "订单包装数量", 10, Shown, nullptr, nullptr, &T::cdsBody1TD032Validate},
        {"TD033", F, 0, "已交包装数量", 10, ReadOnly, nullptr, nullptr, &T::cdsBody1TD033Validate},
        {"TD034", F, 0, "赠品包装量", 10, Shown, nullptr, nullptr, &T::cdsBody1TD034Validate},
        {"TD035", F, 0, "赠品已交包装量", 10, ReadOnly, nullptr, nullptr, &T::cdsBody1TD035Validate},
        {"TD036", S, 4, "包装单位", 4, ReadOnly, nullptr, nullptr, &T::cdsBody1TD036Validate},
        {"TD042", F, 0, "批发价", 10, ReadOnly},
        {"TD043", F, 0, "零售价", 10, ReadOnly},
        {"TD011", F, 0, "单价", 10, Shown, nullptr, nullptr, &T::cdsBody1TD011Validate},
        {"TD037", F, 0, "税率", 10, Shown, percent, percentSet, &T::cdsBody1TD037Validate},
        {"TD026", F, 0, "折扣率", 15, Shown, percent, percentSet, &T::cdsBody1TD026Validate},
        {"TD012", F, 0, "金额", 10, Shown, nullptr, nullptr, &T::cdsBody1TD012Validate},
        {"TD038", F, 0, "税前金额", 10, ReadOnly},
        {"TD039", F, 0, "税额", 10, ReadOnly},
        {"TD013", S, 8, "预交货日", 12, Shown, date, dateSet, &T::cdsBody1TD013Validate},
        {"TD029", S, 3, "包装方式", 7, Shown, nullptr, nullptr, &T::cdsBody1TD029Validate},
        {"TD029C", S, 30, "包装名称", 30, ReadOnly},
        {"TD030", F, 0, "毛重Kg", 10, Shown, nullptr, nullptr, &T::cdsBody1TD030Validate},
        {"TD031", F, 0, "材积CUFT", 10, Shown, nullptr, nullptr, &T::cdsBody1TD031Validate},
        {"TD014", S, 20, "客户品号", 20, Shown, nullptr, nullptr, &T::cdsBody1TD014Validate},
        {"TD015", S, 11, "预测编号", 11, Shown, nullptr, nullptr, &T::cdsBody1TD015Validate},
        {"TD028", S, 4, "预测序号", 4, Shown, nullptr, nullptr, &T::cdsBody1TD015Validate},
        {"TD016", S, 1, "结束", 10, ReadOnly},
        {"TD017", S, 4, "前置单别", 4, Shown, nullptr, nullptr, &T::cdsBody1TD017Validate},
        {"TD018", S, 11, "前置单号", 11, Shown, nullptr, nullptr, &T::cdsBody1TD018Validate},
        {"TD019", S, 4, "前置序号", 4, Shown, nullptr, nullptr, &T::cdsBody1TD019Validate},
        {"TD027", S, 20, "项目编号", 20},
        {"TD020", S, 255, "备注", 20},
        {"TD004C6", S, 72, "生产企业", 20, ReadOnly},
        {"TD040", F, 0, "件装", 10, Shown, nullptr, nullptr, &T::cdsBody1TD040Validate},
        {"TD041", F, 0, "件数", 10, Shown, nullptr, nullptr, &T::cdsBody1TD041Validate},
        {"", S, 0, "", 0, Audit},
        {"TD021", S, 1, "审核码", 1, Hidden},
        {"TD022", F, 0, "库存数量", 10, Hidden},
        {"TD001", S, 4, "单别", 4, Hidden},
        {"TD002", S, 11, "单号", 11, Hidden},
        {"TD010C1", S, 4, "库存单位", 4, Hidden},
        {"TD004C", S, 1, "更改品名规格", 0, Hidden},
        {"TD004C2", S, 1, "售价控制", 0, Hidden},
        {"TD004C3", F, 0, "单价下限率", 0, Hidden},
        {"TD004C4", S, 20, "品号", 0, Hidden},
        {"TD004C5", S, 1, "定重", 0, Hidden},
        {subLinesField, N, 0, "", 0, Hidden},
        {"TD004C7", S, 1, "", 0, Hidden},
        {"TD004C103", S, 1, "", 0, Hidden},
        {"TD004C104", S, 1, "", 0, Hidden},
        {"TD004C105", S, 1, "", 0, Hidden},
        {"TD004C106", S, 1, "", 0, Hidden},
        {"TD004C107", S, 1, "", 0, Hidden},
        {"TD004C108", S, 1, "", 0, Hidden},
        {"TD004C052", S, 1, "", 0, Hidden},
        {"TD004C051", F, 0, "", 0, Hidden},
        {"TD004C053", F, 0, "", 0, Hidden},
        {"TD004C054", F, 0, "", 0, Hidden},
        {"TD004C055", F, 0, "", 0, Hidden},
        {"TD004C056", F, 0, "", 0, Hidden},
        {"TD004C069", F, 0, "", 0, Hidden},
        {"TD004C070", F, 0, "", 0, Hidden},
    };
    const FieldSpec head[] = {
        {"TC001", S, 4, "订单单别", 4, Shown, nullptr, nullptr, &T::cdsMainTC001Validate},
        {"TC001C1", S, 10, "单别名称", 10},
        {"TC002", S, 11, "订单单号", 11, Shown, nullptr, nullptr, &T::cdsMainTC002Validate},
        {"TC039", S, 8, "单据日期", 10, Shown, date, dateSet, &T::cdsMainTC039Validate},
        {"TC004", S, 10, "客户编号", 10, Shown, nullptr, customer, &T::cdsMainTC004Validate},
        {"TC004C1", S, 10, "客户简称", 10},
        {"TC049", S, 2, "流程编号", 2, Shown, nullptr, nullptr, &T::cdsMainTC049Validate},
        {"TC050", S, 1, "抛转状态", 10},
        {"TC005", S, 6, "部门编号", 6, Shown, nullptr, nullptr, &T::cdsMainTC005Validate},
        {"TC005C1", S, 10, "部门名称", 10},
        {"TC006", S, 10, "业务人员", 10, Shown, nullptr, nullptr, &T::cdsMainTC006Validate},
        {"TC006C1", S, 10, "人员名称", 10},
        {"TC007", S, 6, "出货工厂", 6, Shown, nullptr, nullptr, &T::cdsMainTC007Validate},
        {"TC007C1", S, 10, "工厂名称", 10},
        {"TC008", S, 4, "交易币种", 4, Shown, nullptr, nullptr, &T::cdsMainTC008Validate},
        {"TC009", F, 0, "汇率"},
        {"TC010", S, 72, "送货地址", 72},
        {"TC011", S, 72, "送货地址(二)", 72},
        {"TC012", S, 20, "客户单号", 20, Shown, nullptr, nullptr, &T::cdsMainTC012Validate},
        {"TC013", S, 16, "价格说明", 16},
        {"TC042", S, 6, "付款条件", 6, Shown, nullptr, nullptr, &T::cdsMainTC042Validate},
        {"TC042C", S, 30, "付款条件名称", 30},
        {"TC014", S, 16, "原付款条件", 16},
        {"TC015", S, 255, "备注", 20},
        {"TC052", S, 100, "其他备注一", 25},
        {"TC053", S, 100, "其他备注二", 25},
        {"TC054", S, 100, "其他备注三", 25},
        {"TC055", S, 100, "其他备注四", 25},
        {"TC016", S, 1, "税种", 10, Shown, nullptr, nullptr, &T::cdsMainTC016Validate},
        {"TC041", F, 0, "税率", 10, Hidden, percent, percentSet, &T::cdsMainTC041Validate},
        {"TC045", F, 0, "订金比率", 10, Shown, percent, percentSet, &T::cdsMainTC045Validate},
        {"TC028", F, 0, "打印", 5},
        {"TC017", S, 20, "L/CNO.", 20},
        {"TC018", S, 30, "联系人", 30},
        {"TC019", S, 1, "运输方式", 11},
        {"TC020", S, 20, "起始港口", 20},
        {"TC021", S, 20, "目的港口", 20},
        {"TC035", S, 20, "目的地", 20},
        {"TC022", S, 10, "代理商", 10, Shown, nullptr, customer, &T::cdsMainTC022Validate},
        {"TC022C1", S, 10, "代理商名称", 10},
        {"TC023", S, 10, "报关行", 10, Shown, nullptr, &T::cdsMainTC023SetText, &T::cdsMainTC023Validate},
        {"TC023C1", S, 10, "报关行名称", 10},
        {"TC024", S, 10, "验货公司", 10, Shown, nullptr, &T::cdsMainTC024SetText, &T::cdsMainTC024Validate},
        {"TC024C1", S, 10, "验货公司名称", 10},
        {"TC025", S, 10, "运输公司", 10, Shown, nullptr, &T::cdsMainTC025SetText, &T::cdsMainTC025Validate},
        {"TC025C1", S, 10, "运输公司名称", 10},
        {"TC032", S, 10, "CONSIGNEE", 10, Shown, nullptr, customer, &T::cdsMainTC032Validate},
        {"TC032C", S, 10, "CONSIGNEE 名称", 10},
        {"TC033", S, 10, "NOTIFY", 10, Shown, nullptr, customer, &T::cdsMainTC033Validate},
        {"TC033C", S, 10, "NOTIFY 名称", 10},
        {"TC036", S, 10, "往来银行", 10, Shown, nullptr, nullptr, &T::cdsMainTC036Validate},
        {"TC036C", S, 40, "往来银行名称", 40},
        {"TC047", S, 10, "押汇银行", 10, Shown, nullptr, nullptr, &T::cdsMainTC047Validate},
        {"TC047C1", S, 40, "押汇银行全称", 40},
        {"TC047C2", S, 20, "银行账号", 20},
        {"TC026", F, 0, "佣金比率", 10, Shown, percent, percentSet, &T::cdsMainTC026Validate},
        {"TC034", S, 4, "唛头编号", 4, Shown, nullptr, nullptr, &T::cdsMainTC034Validate},
        {"TC034C", S, 30, "唛头名称", 30},
        {"TC056", S, 255, "正唛", 30, Shown, mark, markSet, &T::cdsMainTC056Validate},
        {"TC057", S, 255, "侧唛", 30, Shown, mark, markSet, &T::cdsMainTC057Validate},
        {"TC029", F, 0, "订单金额", 10},
        {"TC030", F, 0, "订单税额", 10},
        {"TC029C", F, 0, "合计", 10},
        {"TC031", F, 0, "总数量", 10},
        {"TC043", F, 0, "总毛重(Kg)", 10},
        {"TC044", F, 0, "总材积(CUFT)", 10},
        {"TC027", S, 1, "审核码", 11},
        {"TC003", S, 8, "订单日期", 10, Shown, date, dateSet},
        {"TC040", S, 10, "审核者", 10},
        {"TC040C", S, 10, "审核者名称", 10},
        {"TC049C1", S, 40, "流程名称", 40},
        {"TC049C2", S, 1, "营业额申报方式", 1},
        {"TC051", S, 10, "下游供应商", 10},
        {"TC049C4", S, 10, "供应商名称", 10},
        {"TC049C5", S, 4, "计价币种", 4},
        {"TC049C6", S, 6, "付款条件编号", 6},
        {"TC049C7", S, 30, "付款条件名称", 30},
        {"TC058", F, 0, "传送次数", 0, ReadOnly},
        {"", S, 0, "", 0, Audit},
        {"TC034C1", S, 255, "正唛", 20},
        {"TC034C2", S, 255, "侧唛", 20},
        {"TC048", S, 1, "签核状态", 16},
        {"TC049C3", S, 10, "下游供应商=>停用", 0, Hidden},
        {"TC037", S, 255, "INVOICE 备注 ", 20, Hidden, nullptr, nullptr, &T::cdsMainTC037Validate},
        {"TC038", S, 255, "PACKING LIST 备注", 25, Hidden, nullptr, nullptr, &T::cdsMainTC038Validate},
        {"TC046", F, 0, "总包装数量", 0, Hidden},
        {linesField, N, 0, "", 0, Hidden},
        {"TC004C2", S, 1, "信用额度控制", 0, Hidden},
        {"MQ024C", S, 1, "品号输入方式", 0, Hidden},
        {"TC001C2", S, 2, "单据性质", 0, Hidden},
        {"TC004C3", S, 1, "订单信用检查方式", 0, Hidden},
        {"TC004C4", F, 0, "未出货订单金额比率", 0, Hidden},
        {"TC004C5", S, 8, "停业日期", 0, Hidden},
        {"TC099C", S, 1, "", 0, Hidden},
        {"MA087C", S, 1, "", 0, Hidden},
        {"MA097C", S, 1, "", 0, Hidden},
        {"TC004C6", S, 1, "", 0, Hidden},
        {"TC006C2", S, 1, "", 0, Hidden},
        {"TC004C7", S, 1, "", 0, Hidden},
        {"TC004C8", S, 10, "", 0, Hidden},
    };

    cdsMain.addFields(fieldDefs(head));
    cdsBody1.addFields(fieldDefs(lines));
    cdsFoot.addFields(fieldDefs(subLines));
    cdsBody1.setDataSetField(cdsMain.fieldByName(linesField));
    cdsFoot.setDataSetField(cdsBody1.fieldByName(subLinesField));

    const auto bind = [this](DataSet& dataSet, std::span<const FieldSpec> specs) {
        for (const FieldSpec& spec : specs) {
            if ((spec.marks & Audit) != 0)
                continue;
            Field& field = dataSet.fieldByName(spec.name);
            if (spec.getText != nullptr)
                field.onGetText = [this, fn = spec.getText](Field& f, std::string& text, bool display) {
                    (this->*fn)(f, text, display);
                };
            if (spec.setText != nullptr)
                field.onSetText = [this, fn = spec.setText](Field& f, std::string_view text) { (this->*fn)(f, text); };
            if (spec.validate != nullptr)
                field.onValidate = [this, fn = spec.validate](Field& f) { (this->*fn)(f); };
        }
    };
    bind(cdsMain, head);
    bind(cdsBody1, lines);
    bind(cdsFoot, subLines);

    headEditors_ = editors({"TC016", "TC019", "TC027"});
    headEditors_.push_back("TC050;CustomEdit;CBOTC050G");
    headEditors_.push_back("TC048;CustomEdit;cboTC048G");
    lineEditors_ = editors({"TD004", "TD010", "TD014", "TD007", "TD011", "TD015", "TD008", "TD013", "TD017", "TD016",
                            "TD020", "TD012", "TD027", "TD029", "TD031", "TD032", "TD040"});
    subLineEditors_ = editors({"TM004", "TM005", "TM006", "TM008", "TM009", "TM011"});
}

const std::vector<std::string>& TdmTavi52::GridEditors(const DataSet& dataSet) const
{
    static const std::vector<std::string> none;
    if (&dataSet == &cdsMain)
        return headEditors_;
    if (&dataSet == &cdsBody1)
        return lineEditors_;
    return &dataSet == &cdsFoot ? subLineEditors_ : none;
}

} // namespace orvane
