// The order window's commands: copying a quotation or the current order, the order's checks on
// confirmation, the multi-party trade commands, the query menu, the mark pictures, delivered
// quantities, option lines, the set explosion and the two-unit quantity step.
//
// Bulk commands write fields through the module's text setter with the window's switches turned
// off by guards, so a step that fails (a refusal, a server error) still turns them on again.
#include "salesorder/Tavi52CF.h"

#include "controls/DBEdit.h"
#include "controls/MarkPicture.h"
#include "framework/DDObject.h"
#include "framework/KnlVozuraz.h"
#include "framework/ZtCopy.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/ByteText.h"
#include "platform/text/DateText.h"
#include "platform/variant/Dispatch.h"
#include "platform/variant/NumberText.h"
#include "salesorder/OrderDialogEntry.h"
#include "salesorder/Tavi52CD.h"
#include "salesorder/Tavi52DF.h"
#include "salesorder/Tavi52FF.h"
#include "salesorder/Tavi52IF.h"
#include "salesorder/Tavi52ZF.h"
#include "ui/DialogService.h"
#include "ui/QtText.h"

#include <QMenu>
#include <QTabWidget>
#include <QToolButton>

#include <span>

namespace orvane {

namespace {

// A field of the quotation copy: a column of the server's row, or a fixed text (column -1).
struct ColumnCopy {
    const char* field;
    int column;
    const char* fixed = "";
};

// The quotation head up to the currency (COPTA "04"); the currency step and the rate follow.
constexpr ColumnCopy quotationHeadToCurrency[] = {
    {"TC004", 3},  {"TC004C1", 25}, {"TC004C2", 39}, {"TC004C3", 46}, {"TC004C4", 47},
    {"TC005", 27}, {"TC005C1", 34}, {"TC006", 4},    {"TC006C1", 35}, {"TC008", 6},
};
// The rest of the head, in order, up to the payment term.
constexpr ColumnCopy quotationHeadToTerm[] = {
    {"TC010", 28}, {"TC011", 33}, {"TC012", -1}, {"TC013", 9}, {"TC042", 10},
};
// After the payment term's name; TC025 follows TC024 by the tax kind TC019.
constexpr ColumnCopy quotationHeadToTax[] = {
    {"TC015", -1}, {"TC017", -1},   {"TC020", -1}, {"TC021", -1},   {"TC016", 21}, {"TC018", 26},   {"TC019", 43},
    {"TC022", 29}, {"TC022C1", 36}, {"TC023", 30}, {"TC023C1", 37}, {"TC024", 31}, {"TC024C1", 38},
};
// The head's end, around the deposit rate TC045. The server answers rates in percent, as the
// percent fields take them.
constexpr ColumnCopy quotationHeadToDeposit[] = {
    {"TC026", 32}, {"TC027", -1, "N"}, {"TC028", -1, "0"}, {"TC032", -1}, {"TC033", -1},
    {"TC034", 40}, {"TC035", 41},      {"TC036", 42},      {"TC037", -1}, {"TC038", -1},
};
constexpr ColumnCopy quotationHeadAfterDeposit[] = {
    {"TC045", 48},      {"TC046", -1, "0"}, {"TC047", -1}, {"TC048", -1, "0"}, {"TC049", -1},
    {"TC050", -1, "N"}, {"TC051", -1},      {"TC052", -1}, {"TC053", -1},      {"TC054", -1},
    {"TC055", -1},      {"TC056", -1},      {"TC057", -1}, {"TC058", -1, "0"},
};

// A quotation line (COPTB "02") up to its amount; TD013 follows, then the rest. The warehouse is
// written apart.
constexpr ColumnCopy quotationLineToAmount[] = {
    {"TD004", 3}, {"TD004C4", 20}, {"TD004C", 19},     {"TD004C5", 26}, {"TD004C2", 31}, {"TD005", 4},
    {"TD006", 5}, {"TD008", 6},    {"TD009", -1, "0"}, {"TD010", 7},    {"TD011", 8},    {"TD012", 9},
};
constexpr ColumnCopy quotationLineRest[] = {
    {"TD014", 21}, {"TD015", -1},      {"TD016", -1, "N"}, {"TD017", 0},       {"TD018", 1},       {"TD019", 2},
    {"TD020", 11}, {"TD021", -1, "N"}, {"TD022", -1, "0"}, {"TD023", 13},      {"TD024", 14},      {"TD025", -1, "0"},
    {"TD026", 27}, {"TD027", -1},      {"TD028", -1},      {"TD029", 22},      {"TD030", 23},      {"TD031", 24},
    {"TD037", 28}, {"TD038", 29},      {"TD039", 30},      {"TD040", -1, "0"}, {"TD041", -1, "0"},
};

// The columns of the copy's rows.
constexpr int lineLeadDays = 10;
constexpr int linePackageUnit = 25;
constexpr int lineWarehouse = 17;
constexpr int headTaxKind = 43;
constexpr int headValidFrom = 11;
constexpr int headValidUntil = 12;

// Column `column` of a row as text ("" past its end).
std::string column(const Variant& row, int column)
{
    if (!row.isArray() || row.lowBound() + column > row.highBound())
        return {};
    const Variant& value = row[row.lowBound() + column];
    return value.isNull() || value.isUnassigned() ? std::string() : text::trim(value.toString());
}

// The quotation head's validity covers the date as the server's line query (COPTB "02") reads
// it: an empty bound is open.
bool quotationValidOn(const Variant& head, const std::string& date)
{
    const std::string from = column(head, headValidFrom);
    const std::string until = column(head, headValidUntil);
    return (from.empty() || from <= date) && (until.empty() || until >= date);
}

double number(std::string_view text)
{
    return text::tryParseFloat(text::trim(text)).value_or(0.0);
}

// The element at the lower bound of an answer, or the answer itself when it is not an array.
Variant firstValue(const Variant& answer)
{
    if (!answer.isArray())
        return answer;
    return answer.highBound() < answer.lowBound() ? Variant() : answer[answer.lowBound()];
}

// An SQL string literal: the text in single quotes, inner quotes doubled.
std::string sqlLiteral(std::string_view value)
{
    std::string literal = "'";
    for (const char c : value) {
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    return literal + "'";
}

// A field written as typed, so that its text handler (numbers, percent) takes it.
void writeText(DataSet& dataSet, std::string_view field, std::string_view value)
{
    SetFieldText(&dataSet.fieldByName(field), value, true);
}

void copyColumns(DataSet& dataSet, const Variant& row, std::span<const ColumnCopy> columns)
{
    for (const ColumnCopy& copy : columns)
        writeText(dataSet, copy.field, copy.column < 0 ? std::string(copy.fixed) : column(row, copy.column));
}

// Sets a window switch for the scope and clears it at its end, also on a failure.
class RaisedFor {
public:
    explicit RaisedFor(bool& flag) : flag_(flag) { flag_ = true; }
    ~RaisedFor() { flag_ = false; }
    RaisedFor(const RaisedFor&) = delete;
    RaisedFor& operator=(const RaisedFor&) = delete;

private:
    bool& flag_;
};

// The order's controls hear nothing while lines are filled by program: neither the lines grid
// nor the head's edits, which every line's post would otherwise repaint with the totals.
class DisplayHeld {
public:
    explicit DisplayHeld(TdmTavi52& module) : module_(module)
    {
        module_.cdsMain.disableControls();
        module_.cdsBody1.disableControls();
    }
    ~DisplayHeld()
    {
        module_.cdsBody1.enableControls();
        module_.cdsMain.enableControls();
    }
    DisplayHeld(const DisplayHeld&) = delete;
    DisplayHeld& operator=(const DisplayHeld&) = delete;

private:
    TdmTavi52& module_;
};

// The validation handlers of every field of the datasets taken away for the scope and given
// back at its end, except those of the fields kept.
class ValidationSuspended {
public:
    ValidationSuspended(std::initializer_list<DataSet*> dataSets, std::initializer_list<std::string_view> kept)
    {
        for (DataSet* dataSet : dataSets)
            for (int i = 0; i < dataSet->fieldCount(); ++i) {
                Field& field = dataSet->field(i);
                if (!field.onValidate || std::ranges::find(kept, field.name()) != kept.end())
                    continue;
                removed_.emplace_back(&field, std::move(field.onValidate));
                field.onValidate = nullptr;
            }
    }
    ~ValidationSuspended()
    {
        for (auto& [field, handler] : removed_)
            field->onValidate = std::move(handler);
    }
    ValidationSuspended(const ValidationSuspended&) = delete;
    ValidationSuspended& operator=(const ValidationSuspended&) = delete;

private:
    std::vector<std::pair<Field*, Field::Notify>> removed_;
};

// "BomExtract"'s one argument: the explosion dialog's eight values (the mode as an integer),
// "S;1,0" and five empty texts.
Variant bomRequest(const Variant& values)
{
    std::vector<Variant> request;
    for (int i = values.lowBound(); i <= values.highBound(); ++i)
        request.push_back(values[i]);
    if (request.size() > 4)
        request[4] = Variant(static_cast<std::int64_t>(number(request[4].toString()))); // the mode as an integer
    request.emplace_back("S;1,0");
    request.resize(14, Variant(std::string()));
    return Variant::arrayOf({Variant::arrayOf(std::move(request))});
}

} // namespace

// Helpers -------------------------------------------------------------------------------------

Variant TfrmTavi52::remoteValue(std::string_view method, std::vector<Variant> args)
{
    Variant answer;
    brokers().RemoteCall(method, Variant::arrayOf(std::move(args)), answer);
    return firstValue(answer);
}

std::string TfrmTavi52::lineText(std::string_view field) const
{
    const Field* found = orderModule()->cdsBody1.findField(field);
    return found != nullptr && !found->isNull() ? text::trim(found->asString()) : std::string();
}

std::pair<std::string, std::string> TfrmTavi52::factoryWarehouse(const std::string& warehouse)
{
    const auto cached = warehouses_.find(warehouse);
    if (cached != warehouses_.end())
        return cached->second;
    const std::string factory = headText("TC007");
    Variant row;
    std::pair<std::string, std::string> found;
    if (brokers().CheckValue("CMSMC", "02", Variant::arrayOf({factory, warehouse}), row) ||
        brokers().CheckValue("CMSMC", "06", Variant::arrayOf({factory}), row))
        found = {column(row, 0), column(row, 1)};
    warehouses_.emplace(warehouse, found);
    return found;
}

void TfrmTavi52::writeWarehouse(const std::string& warehouse)
{
    const auto [code, name] = factoryWarehouse(warehouse);
    if (code.empty())
        return;
    const SwitchedOff amounts(*this, FormSwitch::AmountRecalculation);
    DataSet& lines = orderModule()->cdsBody1;
    writeText(lines, "TD007", code);
    writeText(lines, "TD007C", name);
}

bool TfrmTavi52::showInformation(std::string_view kind, std::vector<Variant> keys, std::string_view programText,
                                 std::string_view bodyKind)
{
    Variant row;
    return brokers().ShowSearchWindow(brokers().searchRequest("COPTC", kind, Variant::arrayOf(std::move(keys)),
                                                              Variant(std::string(programText)), bodyKind,
                                                              bodyKind.empty() ? std::string_view() : "TD003"),
                                      row);
}

std::vector<Variant> TfrmTavi52::orderKeys() const
{
    return {Variant(headText("TC001")), Variant(headText("TC002"))};
}

// Copy a quotation ---------------------------------------------------------------------------

void TfrmTavi52::btnCopyClick()
{
    edTC004->setFocus();
    TdmTavi52& module = *orderModule();
    if (!module.cdsBody1.isEmpty()) {
        ShowMessageCode("E", "100160", false, std::vector<Variant>{Variant(std::string())});
        return;
    }
    for (const char* key : {"TC001", "TC002"})
        if (headText(key).empty()) {
            ShowMessageCode("E", "000003", false,
                            std::vector<Variant>{Variant(module.cdsMain.fieldByName(key).displayLabel())});
            return;
        }
    CopyKey = Variant::arrayOf({Variant(std::string()), Variant(std::string())});
    DialogOnce<TfrmTavi52DF> ownDialog;
    TfrmTavi52DF* dialog = frmTavi52DF;
    if (dialog == nullptr) {
        ownDialog.reset(new TfrmTavi52DF(*this, CopyKey));
        dialog = ownDialog.get();
    }
    if (dialog->ShowModal() == TfrmZtDialog::mrOK)
        CopyFromSource();
}

void TfrmTavi52::CopyFromSource()
{
    const SwitchedOff checks(*this, FormSwitch::Checks);
    TdmTavi52& module = *orderModule();
    const Variant type = CopyKey[CopyKey.lowBound()];
    const Variant number = CopyKey[CopyKey.lowBound() + 1];
    const auto head = readQuotationHead(brokers(), type, number);
    if (!head)
        return;
    copyQuotationHead(*head);
    Variant lines;
    const std::string date = headText("TC039");
    std::string skipped; // the quotation's line numbers the order refused, joined by ", "
    if (brokers().QueryData("COPTB", "02", Variant::arrayOf({type, number, date, date}), lines) && lines.isArray()) {
        // A quoted price below the order's floor is lifted and reported, as in an order's copy:
        // refused, it would end the copy there and leave the quotation's later lines behind.
        const RaisedFor floor(liftBelowFloor_);
        liftedLines_.clear();
        const DisplayHeld held(module);
        warehouses_.clear();
        for (int i = lines.lowBound(); i <= lines.highBound(); ++i)
            if (!copyQuotationLine(lines[i]))
                skipped += (skipped.empty() ? "" : ", ") + column(lines[i], 2);
    }
    module.RecalcHeadTotals();
    reportLiftedLines();
    if (!skipped.empty())
        tellQuotationLinesNotCopied(*head, skipped);
    // The line query leaves out every line of a quotation not valid on the order's date; the
    // clerk would otherwise see the head come without a line and no reason.
    if (!quotationValidOn(*head, date))
        tellQuotationNotValid(*head, date);
}

QString TfrmTavi52::quotationKeyText(const Variant& head, int at) const
{
    return text::toQString(ZtConverter().DataConvert(Variant(column(head, at))).toString());
}

void TfrmTavi52::tellQuotationNotValid(const Variant& head, const std::string& date)
{
    // The dates in the clerk's format.
    const auto shown = [this](const std::string& stored) { return text::toQString(DateText(stored)); };
    ShowInterfaceMessage(
        text::fromQString(TDDObject::OwnText(brokers().programId(), "msgQuotationNotValid",
                                             u8"报价单[%1-%2]于单据日期 %3 不在有效期内(%4 ~ %5), 单身未复制!")
                              .arg(quotationKeyText(head, 0), quotationKeyText(head, 1), shown(date),
                                   shown(column(head, headValidFrom)), shown(column(head, headValidUntil)))));
}

void TfrmTavi52::tellQuotationLinesNotCopied(const Variant& head, const std::string& lineNumbers)
{
    ShowInterfaceMessage(text::fromQString(
        TDDObject::OwnText(brokers().programId(), "msgQuotationLinesNotCopied", u8"报价单[%1-%2]下列序号未复制: %3")
            .arg(quotationKeyText(head, 0), quotationKeyText(head, 1), text::toQString(lineNumbers))));
}

void TfrmTavi52::copyQuotationHead(const Variant& row)
{
    TdmTavi52& module = *orderModule();
    DataSet& head = module.cdsMain;
    if (!isEditing(head))
        head.edit();
    copyColumns(head, row, quotationHeadToCurrency);
    module.LoadCurrencyDecimals();
    writeText(
        head, "TC009",
        remoteValue("ExchangeRate", {Variant(headText("TC008")), Variant("I"), Variant(headText("TC039"))}).toString());
    copyColumns(head, row, quotationHeadToTerm);
    module.CodeLookup(head.fieldByName("TC042"), "CMSNA", "N", "TC042C", "01",
                      Variant::arrayOf({Variant("2"), Variant(headText("TC042"))}));
    writeText(head, "TC014", headText("TC042C"));
    copyColumns(head, row, quotationHeadToTax);
    const std::string taxKind = column(row, headTaxKind);
    writeText(head, "TC025",
              taxKind == "1"                     ? column(row, 44)
              : taxKind == "2" || taxKind == "3" ? column(row, 45)
                                                 : "");
    copyColumns(head, row, quotationHeadToDeposit);
    copyColumns(head, row, quotationHeadAfterDeposit);
    orderModule()->CopyCustomerShipping(headText("TC004"));
}

bool TfrmTavi52::copyQuotationLine(const Variant& row)
{
    DataSet& lines = orderModule()->cdsBody1;
    lines.append();
    try {
        fillQuotationLine(row);
        lines.post();
        return true;
    } catch (const SilentAbort&) { // refused, with its message shown
        lines.cancel();
        return false;
    }
}

void TfrmTavi52::fillQuotationLine(const Variant& row)
{
    TdmTavi52& module = *orderModule();
    DataSet& lines = module.cdsBody1;
    copyColumns(lines, row, quotationLineToAmount);
    const int leadDays = static_cast<int>(number(column(row, lineLeadDays)));
    const std::string date = headText("TC039");
    writeText(lines, "TD013", leadDays > 0 && !date.empty() ? text::addDays(date, leadDays) : date);
    copyColumns(lines, row, quotationLineRest);
    module.RefreshItemPriceColumns();
    // The reference prices follow the item's price columns just read, as on a typed line.
    module.SetWholesalePrice();
    module.SetRetailPrice();
    module.RefreshLineFieldAccess();
    const std::string packageUnit = column(row, linePackageUnit);
    if (text::trim(brokers().SystemParameter("SYS024")) == "3" && !packageUnit.empty())
        writePackageQuantities(packageUnit);
    writeWarehouse(column(row, lineWarehouse));
}

void TfrmTavi52::writePackageQuantities(const std::string& packageUnit)
{
    DataSet& lines = orderModule()->cdsBody1;
    writeText(lines, "TD036", packageUnit);
    const auto converted = [&](const char* quantity) {
        return remoteValue("UnitConvert", {Variant(lineText("TD004")), Variant(lineText(quantity)),
                                           Variant(lineText("TD010")), Variant(packageUnit)})
            .toString();
    };
    writeText(lines, "TD032", converted("TD008"));
    writeText(lines, "TD033", "0");
    writeText(lines, "TD034", converted("TD024"));
    writeText(lines, "TD035", "0");
}

// Copy the current order ---------------------------------------------------------------------

void TfrmTavi52::CopyRecord()
{
    TdmTavi52& module = *orderModule();
    module.RefreshToday(); // the copied dates are asked for before the new order is started
    {
        const RaisedFor floor(liftBelowFloor_);
        liftedLines_.clear();
        const ValidationSuspended suspended({&module.cdsMain, &module.cdsBody1, &module.cdsFoot},
                                            {"TC001", "TC002", "TC008"});
        TfrmDouble::CopyRecord();
        if (recordMode() == RecordMode::Add) {
            Variant row;
            const bool signedOff = brokers().CheckValue(
                "ADMMQ", "02", Variant::arrayOf({Variant("TAVI52"), Variant(headText("TC001"))}), row);
            SetFieldText(&module.cdsMain.fieldByName("TC048"), signedOff ? "0" : "N", false);
        }
    }
    reportLiftedLines();
}

void TfrmTavi52::reportLiftedLines()
{
    if (!liftedLines_.empty())
        ShowMessageCode("I", "100013", false, std::vector<Variant>{Variant(liftedLines_)});
}

Variant TfrmTavi52::CopiedHeadValue(QObject* sender, Field& field, int flag)
{
    Variant value = TfrmDouble::CopiedHeadValue(sender, field, flag);
    if (value.isUnassigned())
        return value;
    const std::string& name = field.name();
    // The new type's name, kind and item-entry mode, set when its type was checked, stay.
    if (name == "TC001C1" || name == "TC001C2" || name == "MQ024C" || name == "TC009" || name == "TC040" ||
        name == "TC040C")
        return {};
    if (name == "TC003" || name == "TC039")
        return Variant(orderModule()->Today());
    if (name == "TC012" || name == "TC017")
        return Variant(std::string());
    if (name == "TC027" || name == "TC050")
        return Variant("N");
    if (name == "TC028" || name == "TC058") // not printed, not yet sent
        return Variant(0);
    return value;
}

Variant TfrmTavi52::CopiedLineValue(QObject* sender, Field& field, int flag)
{
    Variant value = TfrmDouble::CopiedLineValue(sender, field, flag);
    if (value.isUnassigned())
        return value;
    const std::string& name = field.name();
    if (name == "TD009" || name == "TD025" || name == "TD033" || name == "TD035") // nothing delivered yet
        return Variant(0);
    if (name == "TD016" || name == "TD021")
        return Variant("N");
    if (name == "TM001" || name == "TM002" || name == "TM003") // a sub-line takes its new line's keys
        return {};
    return value;
}

// Confirmation -------------------------------------------------------------------------------

bool TfrmTavi52::ChangeConfirmState(int mode, int flag)
{
    if (!TfrmDouble::ChangeConfirmState(mode, flag))
        return false;
    const std::string transfer = headText("TC050");
    if (headText("TC001C2") == "27" && transfer == "y")
        return true;
    if (mode == modeConfirm)
        return creditAllows();
    if (mode == modeUnConfirm && transfer != "N") {
        ShowMessageCode("E", "100402", false, {});
        return false;
    }
    return true;
}

bool TfrmTavi52::WorkflowPreCheck(int action)
{
    // An approved job makes the direct command's change, so it is sent only when that command
    // could run now: a transferred order is not unconfirmed, a confirmation checks the credit.
    return ChangeConfirmState(action, 0);
}

bool TfrmTavi52::creditAllows()
{
    const std::string customer = headText("TC004");
    Variant customerRow;
    brokers().CheckValue("COPMA", "09", Variant::arrayOf({Variant(customer)}), customerRow);
    if (column(customerRow, 79) == "N" && column(customerRow, 32) == "N")
        return true;
    Variant settings = customerRow;
    if (column(customerRow, 79) == "Y")
        brokers().CheckValue("COPMA", "09", Variant::arrayOf({Variant(column(customerRow, 62))}), settings);
    std::string method = column(settings, 85);
    double rate = number(column(settings, 91));
    Variant kept;
    if (column(settings, 29) == "Y" &&
        brokers().CheckValue("COPMH", "01", Variant::arrayOf({Variant(customer)}), kept)) {
        method = column(kept, 0);
        rate = number(column(kept, 6));
    }
    if (method == "1")
        return true;
    Variant credit;
    brokers().RemoteCall("CreditCtrl", Variant(customer), credit);
    const double balance = number(column(credit, 7));
    const double amount = (number(headText("TC029")) + number(headText("TC030"))) * number(headText("TC009")) * rate;
    if (!(amount > balance))
        return true;
    const std::vector<Variant> figures{Variant(text::floatToText(amount)), Variant(text::floatToText(balance))};
    if (method == "2") {
        ShowMessageCode("W", "100047", false, figures);
        return true;
    }
    ShowMessageCode("E", "100166", false, figures);
    return false;
}

// Lines' history and the multi-party trade ---------------------------------------------------

void TfrmTavi52::btnViewHisClick()
{
    Variant chosen;
    brokers().F2GetData(Variant("COPTE"), Variant("02"),
                        Variant::arrayOf({lineText("TD001"), lineText("TD002"), lineText("TD003")}), false,
                        Variant(std::string()), windowHandle(), false, chosen);
}

void TfrmTavi52::btnTAVI61Click()
{
    const std::string type = lineText("TD001");
    const std::string number = lineText("TD002");
    const std::string line = lineText("TD003");
    if (type.empty() || number.empty() || line.empty())
        return;
    Variant row;
    if (!brokers().CheckValue("MTPTD", "01", Variant::arrayOf({type, number, line}), row)) {
        ShowMessageCode("E", "100430", false, {});
        return;
    }
    const std::string filter =
        " TD001 =" + sqlLiteral(type) + " and TD002 = " + sqlLiteral(number) + " and TD003 = " + sqlLiteral(line);
    const std::string transfer = headText("TC050");
    const bool maintain = rights().canEdit && (transfer == "N" || transfer == "n") && lineText("TD016") == "N";
    Variant result;
    brokers().RunProgram("TAVI61", Variant(filter),
                         Variant::arrayOf({Variant(maintain ? 8 : 0), Variant(0), Variant()}), result);
}

void TfrmTavi52::btnTAVB14Click()
{
    Variant result;
    brokers().RunProgram("RUSB58", Variant(std::string()), Variant(), result);
}

void TfrmTavi52::btnCheckTC050Click()
{
    TdmTavi52& module = *orderModule();
    Variant row;
    if (brokers().CheckValue("MTPTE", "01", Variant::arrayOf(orderKeys()), row)) {
        ShowMessageCode("E", "100441", false, {});
        return;
    }
    ClientDataSet& head = module.cdsMain;
    if (!isEditing(head))
        head.edit();
    SetFieldText(&head.fieldByName("TC050"), "Y", false);
    head.post();
    // Saved outside an edit, so FLAG was not stamped: the head is read again to take the
    // server's count.
    if (module.SaveData(head))
        rereadHead();
    else
        head.cancelUpdates();
    UpdateCommandStates();
}

// The query menu and the credit window -------------------------------------------------------

void TfrmTavi52::btnSearchsClick()
{
    PopSearchs->popup(btnSearchs->mapToGlobal(QPoint(0, btnSearchs->height())));
}

void TfrmTavi52::miCreditCtrlClick()
{
    if (!rightsSet().test(1) && !rightsSet().test(3)) {
        ShowMessageCode("E", "100253", false, {});
        return;
    }
    Variant answer;
    brokers().RemoteCall("CreditCtrl", Variant(headText("TC004")), answer);
    showCreditWindow(answer);
}

void TfrmTavi52::miCOPTC_62Click()
{
    std::vector<Variant> keys{Variant(text::trim(brokers().SystemParameter("SYS003")))};
    for (Variant& key : orderKeys())
        keys.push_back(std::move(key));
    showInformation("62", std::move(keys), "TAVI52;");
}

void TfrmTavi52::miCOPTA_60Click()
{
    showInformation("63", orderKeys());
}

void TfrmTavi52::miCOPTC_64Click()
{
    const bool twoUnits = text::trim(brokers().SystemParameter("SYS050")) == "N";
    showInformation("64", orderKeys(), {}, twoUnits ? "66" : "65");
}

void TfrmTavi52::miCOPTC_67Click()
{
    showInformation("67", orderKeys());
}

void TfrmTavi52::miCOPTC_68Click()
{
    showInformation("68", orderKeys());
}

// Mark pictures, delivered quantities, option lines ------------------------------------------

void TfrmTavi52::btnSeePICClick()
{
    DispatchPtr store;
    for (const auto& [field, picture] : {std::pair{"TC056", imgTC056}, std::pair{"TC057", imgTC057}}) {
        Variant row;
        const std::string name = headText(field);
        if (name.empty() || !brokers().CheckValue("DMS", "01", Variant::arrayOf({Variant(name)}), row)) {
            picture->clear();
            continue;
        }
        if (!store)
            store = AutomationRegistry::instance().create("DmsC.DMSClass1");
        std::vector<Variant> args{Variant(column(row, 0)), Variant(column(row, 1))};
        const bool fetched = store->invoke("CheckOut", args).toIntegerOrZero() >= 0;
        loadMarkPicture(*picture, fetched ? args[0].toString() : std::string());
    }
    // The pictures stand on the marks page, which most orders leave unseen.
    if (pgHead->isTabVisible(pgHead->indexOf(TabSheet8)))
        pgHead->setCurrentWidget(TabSheet8);
}

void TfrmTavi52::btnEditTD009Click()
{
    Variant delivered;
    ShowIF(*this, *orderModule(), delivered);
    UpdateCommandStates();
}

void TfrmTavi52::gdBody1IButtonClick()
{
    if (frmTavi52FF == nullptr)
        return;
    TdmTavi52& module = *orderModule();
    DataSet& lines = module.cdsBody1;
    const std::string item = lineText("TD004");
    // Options belong to an item: without a line, or on one without its item yet, there is none to
    // configure (and putting an empty grid into edit would start a line).
    if (item.empty()) {
        const Field* field = lines.findField("TD004");
        ShowMessageCode("E", "000003", false,
                        std::vector<Variant>{Variant(field != nullptr ? field->displayLabel() : std::string())});
        return;
    }
    // The option lines change only with their order: a browsed order's are shown for viewing,
    // its line left as browsed.
    if (isEditing(module.cdsMain) && !isEditing(lines))
        lines.edit();
    const Variant unit(lineText("TD010"));
    // Ordered and free quantities in the line's unit (written in its notation in two-unit mode),
    // handed over in the stock unit the item's structure counts in.
    const double sum = text::trim(brokers().SystemParameter("SYS024")) == "2"
                           ? number(remoteValue("QtyAdd", {Variant(item), Variant(number(lineText("TD008"))),
                                                           Variant(number(lineText("TD024"))), unit})
                                        .toString())
                           : number(lineText("TD008")) + number(lineText("TD024"));
    const double quantity = number(
        remoteValue("UnitConvert", {Variant(item), Variant(sum), unit, Variant(lineText("TD010C1"))}).toString());
    frmTavi52FF->setQuantity(quantity);
    if (module.cdsFoot.isEmpty())
        frmTavi52FF->BuildOptionLines();
    DialogService::instance().runModal(*frmTavi52FF);
}

// The set explosion --------------------------------------------------------------------------

void TfrmTavi52::ExplodeSetItem()
{
    TdmTavi52& module = *orderModule();
    {
        const SwitchedOff checks(*this, FormSwitch::Checks);
        const RaisedFor packing(defaultPacking_);
        Variant values;
        if (ShowZF(*this, module, TfrmTavi52ZF::explosionPage, 420, 330, values))
            explodeInto(module, bomRequest(values));
    }
    module.RecalcHeadTotals();
}

void TfrmTavi52::explodeInto(TdmTavi52& module, const Variant& request)
{
    Variant components;
    brokers().RemoteCall("BomExtract", request, components);
    if (!components.isArray())
        return;
    const DisplayHeld held(module);
    warehouses_.clear();
    for (int i = components.lowBound(); i <= components.highBound(); ++i)
        addComponentLine(components[i]);
}

void TfrmTavi52::addComponentLine(const Variant& row)
{
    TdmTavi52& module = *orderModule();
    DataSet& lines = module.cdsBody1;
    lines.append();
    const std::string date = column(row, 9).empty() ? headText("TC039") : column(row, 9);
    const ColumnCopy component[] = {{"TD004", 0},       {"TD004C4", 0},     {"TD005", 1},       {"TD006", 2},
                                    {"TD010", 4},       {"TD008", 3},       {"TD009", -1, "0"}, {"TD024", -1, "0"},
                                    {"TD025", -1, "0"}, {"TD016", -1, "N"}, {"TD021", -1, "N"}, {"TD026", -1, "100"}};
    copyColumns(lines, row, component);
    writeText(lines, "TD013", date);
    module.RefreshItemPriceColumns();
    module.RefreshLineFieldAccess();
    const std::string mode = text::trim(brokers().SystemParameter("SYS024"));
    if (mode == "2")
        runQuantityStep(lines.fieldByName("TD008"));
    module.PriceAppendedLine();
    writeWarehouse(column(row, 5));
    lines.post();
}

// The two-unit quantity step -----------------------------------------------------------------

void TfrmTavi52::runQuantityStep(Field& field)
{
    const SwitchedOff amounts(*this, FormSwitch::AmountRecalculation);
    if (field.isNull() || field.asFloat() == 0)
        return;
    // The quantity is written in the notation of the line's unit, which need not be the stock unit.
    const Variant sum = remoteValue(
        "QtyAdd", {Variant(lineText("TD004")), Variant(field.asFloat()), Variant(0), Variant(lineText("TD010"))});
    if (!sum.isUnassigned() && !sum.isNull())
        SetFieldText(&field, text::trim(sum.toString()), true);
}

} // namespace orvane
