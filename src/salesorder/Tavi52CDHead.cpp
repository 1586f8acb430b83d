// The head's field checks: order type and numbering, dates and rates, the customer and its
// defaults, the other parties, currency, tax, remarks and shipping marks.
//
// A check that asks the server several questions opens an answer scope on the brokers: the
// questions it can foresee go out together (one round trip per server component), and the
// checks its own assignments run take the kept answers instead of asking again.
#include "salesorder/Tavi52CD.h"

#include "framework/KnlVozuraz.h"
#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"
#include "services/Brokers.h"

#include <array>
#include <vector>

namespace orvane {

namespace {

// A customer row's column copied into a head field; a rate column holds a fraction that goes
// in as percent text.
struct CustomerColumn {
    int column;
    std::string_view field;
    bool rate = false;
};

// The customer's defaults (COPMA "08"), in the order they are copied.
constexpr std::array<CustomerColumn, 31> customerColumns{{
    {1, "TC004C1"},      {2, "TC005"},    {3, "TC006"},    {4, "TC008"},    {5, "TC013"},    {6, "TC042"},
    {7, "TC010"},        {8, "TC011"},    {9, "TC018"},    {10, "TC022"},   {11, "TC023"},   {12, "TC024"},
    {13, "TC026", true}, {14, "TC016"},   {15, "TC019"},   {16, "TC035"},   {17, "TC036"},   {18, "TC004C2"},
    {19, "TC034"},       {20, "TC005C1"}, {21, "TC006C1"}, {22, "TC022C1"}, {23, "TC023C1"}, {24, "TC024C1"},
    {25, "TC036C"},      {26, "TC034C"},  {27, "TC056"},   {28, "TC057"},   {32, "TC004C3"}, {33, "TC004C4"},
    {34, "TC045", true},
}};
constexpr int carrierByLandColumn = 29; // TC025 for shipping mode 1
constexpr int carrierBySeaColumn = 30;  // TC025 for shipping modes 2 and 3
constexpr int paymentTextColumn = 31;   // TC014
constexpr int switch087Column = 35;     // MA087C
constexpr int ceasingDateColumn = 38;   // TC004C5
constexpr int statusColumn = 40;        // MA097C

// The i-th column of a row as text ("" past its end).
std::string column(const Variant& row, int i)
{
    if (!row.isArray() || row.lowBound() + i > row.highBound())
        return {};
    return row[row.lowBound() + i].toString();
}

Variant keys(std::initializer_list<Variant> values)
{
    return Variant::arrayOf(values);
}

// Sets a flag for the life of the scope and clears it however the scope ends.
class FlagOn {
public:
    explicit FlagOn(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagOn() { flag_ = false; }
    FlagOn(const FlagOn&) = delete;
    FlagOn& operator=(const FlagOn&) = delete;

private:
    bool& flag_;
};

constexpr std::size_t remarkLineBytes = 30;
constexpr std::string_view documentStoreClass = "DmsC.DMSClass1";

} // namespace

// Order type and number ------------------------------------------------------------------------

void TdmTavi52::cdsMainTC001Validate(Field& field)
{
    Assign(cdsMain, "TC002", "");
    Assign(cdsMain, "TC001C1", "");
    const std::string type = field.asString();
    if (type.empty()) {
        SetAutoNumber(false);
        return;
    }
    const TBrokers::AnswerScope answers(*brokers());
    const Variant typeKeys = keys({type, "22", "27", "", brokers()->userId()});
    const Variant signOffKeys = keys({brokers()->programId(), type});
    const PrefetchCall questions[] = {PrefetchCall::lookup("CMSMQ", "36", typeKeys),
                                      PrefetchCall::lookup("ADMMQ", "02", signOffKeys)};
    brokers()->Prefetch(questions);
    Variant row;
    if (!RowLookup("CMSMQ", "36", typeKeys, row))
        Refuse("E", "100007");
    Assign(cdsMain, "TC001C1", column(row, 1));
    Assign(cdsMain, "MQ024C", column(row, 18));
    Assign(cdsMain, "TC001C2", column(row, 2));
    if (headWindow_ != nullptr)
        headWindow_->documentKindChanged(column(row, 2));
    SetAutoNumber(column(row, 3) != "4");
    if (AutoNumber()) {
        if (Text(cdsMain, "TC039").empty() && !(Today().substr(0, 6) < SystemParameter("sys011")))
            Assign(cdsMain, "TC039", Today());
        renumber();
        if (headWindow_ != nullptr)
            headWindow_->focusHeadField(column(row, 2) == "27" ? "TC049" : "TC039");
    }
    if (headWindow_ != nullptr)
        headWindow_->setSaveConfirmation(column(row, 11) == "Y" ? 1 : 0, column(row, 12) == "Y");
    Variant signOff;
    Assign(cdsMain, "TC048", RowLookup("ADMMQ", "02", signOffKeys, signOff) ? "0" : "N");
}

void TdmTavi52::cdsMainTC002Validate(Field& field)
{
    // An empty number cannot be taken by another order. A new order's automatic number is only a
    // proposal: the save takes the next free one, so a clerk who saved it meanwhile is no refusal.
    const bool proposed = AutoNumber() && ownerMode() == RecordMode::Add;
    if (!field.asString().empty() && !proposed)
        CheckKeyUnique(field, "COPTC", "E", "TC001,TC002", "03");
}

void TdmTavi52::renumber()
{
    // The number follows the date: without a date there is none to give yet.
    const std::string date = Text(cdsMain, "TC039");
    Assign(cdsMain, "TC002",
           date.empty() ? std::string() : RemoteValue("NewDocNo", {Text(cdsMain, "TC001"), date}).toString());
}

// Dates and rates --------------------------------------------------------------------------------

void TdmTavi52::cdsMainTC039Validate(Field& field)
{
    DateFieldValidate(field);
    const std::string date = field.asString();
    if (!date.empty() && date < SystemParameter("sys011"))
        Refuse("E", "100013");
    if (!Text(cdsMain, "TC004").empty())
        refuseCeasedCustomer(Text(cdsMain, "TC004C5"), date);
    Assign(cdsMain, "TC003", date);
    const std::string type = Text(cdsMain, "TC001");
    const bool renumbering = !type.empty() && AutoNumber() && ownerMode() == RecordMode::Add;
    // The new number and the rate of the date travel together.
    const TBrokers::AnswerScope answers(*brokers());
    std::vector<PrefetchCall> questions;
    if (renumbering && !date.empty())
        questions.push_back(PrefetchCall::remote("NewDocNo", keys({type, date})));
    if (!date.empty() && !Text(cdsMain, "TC008").empty())
        questions.push_back(PrefetchCall::remote("ExchangeRate", keys({Text(cdsMain, "TC008"), "I", date})));
    brokers()->Prefetch(questions);
    if (renumbering)
        renumber();
    fetchExchangeRate();
}

void TdmTavi52::fetchExchangeRate()
{
    const std::string currency = Text(cdsMain, "TC008");
    const std::string date = Text(cdsMain, "TC039");
    if (currency.empty() || date.empty())
        return;
    Assign(cdsMain, "TC009", RemoteValue("ExchangeRate", {currency, "I", date}).toString());
}

void TdmTavi52::checkRateNotNegative(const Field& field) const
{
    if (!field.isNull() && field.asFloat() < 0)
        Refuse("E", "100012", {field.displayLabel()});
}

void TdmTavi52::cdsMainTC026Validate(Field& field)
{
    if (formSwitches().checksEnabled())
        checkRateNotNegative(field);
}

void TdmTavi52::cdsMainTC045Validate(Field& field)
{
    checkRateNotNegative(field);
}

void TdmTavi52::cdsMainTC041Validate(Field& /*field*/) {}

// The customer -----------------------------------------------------------------------------------

void TdmTavi52::cdsMainTC004Validate(Field& field)
{
    const std::string code = field.asString();
    if (code.empty()) {
        Assign(cdsMain, "TC004C1", "");
        return;
    }
    const TBrokers::AnswerScope answers(*brokers());
    const Variant customerKeys = keys({code});
    Variant row;
    if (!formSwitches().checksEnabled()) {
        // Nothing is filled by program, but a ceased customer is refused all the same.
        if (RowLookup("COPMA", "02", customerKeys, row)) {
            refuseCeasedCustomer(column(row, ceasingDateColumn), Text(cdsMain, "TC039"));
            Assign(cdsMain, "TC004C5", column(row, ceasingDateColumn));
        }
        return;
    }
    const FlagOn filling(customerFilling_);
    std::vector<PrefetchCall> questions{PrefetchCall::lookup("COPMA", "08", customerKeys)};
    if (SystemParameter("SYS048") == "Y")
        questions.push_back(PrefetchCall::lookup("GSPTH", "01", customerKeys));
    brokers()->Prefetch(questions);
    const bool found = RowLookup("COPMA", "08", customerKeys, row);
    if (found) {
        // A refused customer's defaults would stay in the head beside the customer kept, and the
        // checks they start (the lines' prices under its tax type) would speak before the refusal.
        refuseBarredCustomer(row);
        prefetchCustomerChecks(row, code);
        copyCustomerDefaults(row, code);
    }
    if (SystemParameter("SYS048") == "Y")
        CodeLookup(field, "GSPTH", "N", ",TC004C6", "01");
    fetchExchangeRate();
    if (!found) {
        ShowMessage("W", "000004", {field.displayLabel()});
        Assign(cdsMain, "TC016", "2");
        Assign(cdsMain, "MA087C", "");
    }
}

void TdmTavi52::CopyCustomerShipping(const std::string& code)
{
    Assign(cdsMain, "TC032", code);
    Variant row;
    if (code.empty() || !RowLookup("COPMA", "08", Variant::arrayOf({Variant(code)}), row))
        return;
    for (const CustomerColumn& copied : customerColumns) {
        if (copied.field == "TC056" || copied.field == "TC057")
            Assign(cdsMain, copied.field, column(row, copied.column));
    }
}

void TdmTavi52::copyCustomerDefaults(const Variant& row, const std::string& code)
{
    for (const CustomerColumn& copied : customerColumns) {
        const std::string value = column(row, copied.column);
        if (copied.rate)
            Assign(cdsMain, copied.field,
                   text::floatToText(text::tryParseFloat(text::trim(value)).value_or(0.0) * 100));
        else
            Assign(cdsMain, copied.field, value);
    }
    Assign(cdsMain, "TC032", code);
    const std::string shipping = Text(cdsMain, "TC019");
    if (shipping == "1")
        Assign(cdsMain, "TC025", column(row, carrierByLandColumn));
    else if (shipping == "2" || shipping == "3")
        Assign(cdsMain, "TC025", column(row, carrierBySeaColumn));
    Assign(cdsMain, "TC014", column(row, paymentTextColumn));
    Assign(cdsMain, "MA087C", column(row, switch087Column));
    Assign(cdsMain, "MA097C", column(row, statusColumn));
    Assign(cdsMain, "TC004C5", column(row, ceasingDateColumn));
}

void TdmTavi52::prefetchCustomerChecks(const Variant& row, const std::string& code)
{
    const std::string shipping = column(row, 15);
    const std::string carrier = column(row, shipping == "1" ? carrierByLandColumn : carrierBySeaColumn);
    std::vector<PrefetchCall> questions{
        PrefetchCall::lookup("CMSMF", "01", keys({column(row, 4)})),
        PrefetchCall::lookup("CMSNA", "01", keys({"2", column(row, 6)})),
        PrefetchCall::lookup("CMSMO", "02", keys({column(row, 17)})),
        PrefetchCall::lookup("EPSMD", "02", keys({code, column(row, 19)})),
        PrefetchCall::lookup("COPMA", "01", keys({code})),
        PrefetchCall::lookup("PURMA", "01", keys({carrier})),
    };
    for (const int mark : {27, 28})
        if (!column(row, mark).empty())
            questions.push_back(PrefetchCall::lookup("DMS", "01", keys({column(row, mark)})));
    if (!column(row, 4).empty() && !Text(cdsMain, "TC039").empty())
        questions.push_back(PrefetchCall::remote("ExchangeRate", keys({column(row, 4), "I", Text(cdsMain, "TC039")})));
    brokers()->Prefetch(questions);
}

void TdmTavi52::refuseBarredCustomer(const Variant& row) const
{
    const std::string status = column(row, statusColumn);
    if (status == "2")
        Refuse("E", "200136");
    if (status == "3")
        Refuse("E", "200080");
    refuseCeasedCustomer(column(row, ceasingDateColumn), Text(cdsMain, "TC039"));
}

void TdmTavi52::refuseCeasedCustomer(std::string_view ceasing, std::string_view date) const
{
    if (!ceasing.empty() && !(date < ceasing))
        Refuse("E", "100460", {DateDisplayText(ceasing)});
}

// The other parties ------------------------------------------------------------------------------

void TdmTavi52::cdsMainTC005Validate(Field& field)
{
    if (!formSwitches().checksEnabled() || customerFilling_)
        return;
    Assign(cdsMain, "TC005C1", "");
    CodeLookup(field, "CMSME", "E", "TC005C1", "01");
}

void TdmTavi52::cdsMainTC006Validate(Field& field)
{
    if (!formSwitches().checksEnabled() || customerFilling_)
        return;
    Assign(cdsMain, "TC006C1", "");
    const std::string code = field.asString();
    const Variant staffKeys = keys({code, "3", "", ""});
    const TBrokers::AnswerScope answers(*brokers());
    const PrefetchCall questions[] = {PrefetchCall::lookup("CMSMK", "01", staffKeys),
                                      PrefetchCall::lookup("GSPTJ", "01", keys({code}))};
    if (!code.empty() && SystemParameter("SYS048") == "Y")
        brokers()->Prefetch(questions);
    if (!code.empty() && !CodeLookup(field, "CMSMK", "N", "TC006C1", "01", staffKeys)) {
        Assign(cdsMain, "TC006C1", "");
        Refuse("E", "100032");
    }
    if (SystemParameter("SYS048") == "Y")
        CodeLookup(field, "GSPTJ", "N", ",TC006C2", "01");
}

void TdmTavi52::cdsMainTC007Validate(Field& field)
{
    if (!formSwitches().checksEnabled())
        return;
    Assign(cdsMain, "TC007C1", "");
    CodeLookup(field, "CMSMB", "E", "TC007C1", "01");
}

void TdmTavi52::cdsMainTC022Validate(Field& field)
{
    if (!formSwitches().checksEnabled() || customerFilling_)
        return;
    Assign(cdsMain, "TC022C1", "");
    CodeLookup(field, "COPMA", "W", "TC022C1", "01");
}

void TdmTavi52::cdsMainTC023SetText(Field& field, std::string_view text)
{
    ProviderFieldSetText(field, text);
}

void TdmTavi52::cdsMainTC023Validate(Field& field)
{
    if (!formSwitches().checksEnabled() || customerFilling_)
        return;
    Assign(cdsMain, "TC023C1", "");
    CodeLookup(field, "PURMA", "W", "TC023C1", "01");
}

void TdmTavi52::cdsMainTC024SetText(Field& field, std::string_view text)
{
    ProviderFieldSetText(field, text);
}

void TdmTavi52::cdsMainTC024Validate(Field& field)
{
    if (!formSwitches().checksEnabled() || customerFilling_)
        return;
    Assign(cdsMain, "TC024C1", "");
    CodeLookup(field, "PURMA", "W", "TC024C1", "01");
}

void TdmTavi52::cdsMainTC025SetText(Field& field, std::string_view text)
{
    ProviderFieldSetText(field, text);
}

void TdmTavi52::cdsMainTC025Validate(Field& field)
{
    CodeLookup(field, "PURMA", "W", "TC025C1", "01");
}

void TdmTavi52::cdsMainTC032Validate(Field& field)
{
    CodeLookup(field, "COPMA", formSwitches().checksEnabled() ? "W" : "N", "TC032C", "01");
}

void TdmTavi52::cdsMainTC033Validate(Field& field)
{
    CodeLookup(field, "COPMA", formSwitches().checksEnabled() ? "W" : "N", "TC033C", "01");
}

void TdmTavi52::cdsMainTC036Validate(Field& field)
{
    CodeLookup(field, "CMSMO", "E", "TC036C", "02");
}

void TdmTavi52::cdsMainTC047Validate(Field& field)
{
    CodeLookup(field, "NOTMA", formSwitches().checksEnabled() ? "E" : "N", ",TC047C2,,,,TC047C1", "01");
}

void TdmTavi52::cdsMainTC042Validate(Field& field)
{
    const std::string code = field.asString();
    if (CodeLookup(field, "CMSNA", "E", "TC042C", "01", keys({"2", code})) && !code.empty())
        Assign(cdsMain, "TC014", Text(cdsMain, "TC042C"));
}

void TdmTavi52::cdsMainTC012Validate(Field& field)
{
    const std::string number = field.asString();
    if (number.empty())
        return;
    Variant row;
    // While editing, the order itself does not count.
    const bool used =
        ownerMode() == RecordMode::Add
            ? RowLookup("COPTC", "13", keys({number}), row)
            : RowLookup("COPTC", "12", keys({number, Text(cdsMain, "TC001"), Text(cdsMain, "TC002")}), row);
    if (used)
        ShowMessage("W", "100069");
}

void TdmTavi52::cdsMainTC049Validate(Field& field)
{
    const std::string code = field.asString();
    if (code.empty()) {
        for (const char* name : {"TC049C1", "TC049C2", "TC049C3", "TC051", "TC049C4", "TC049C5", "TC049C6", "TC049C7"})
            Assign(cdsMain, name, "");
        return;
    }
    Variant row;
    if (!RowLookup("MTPMA", "02", keys({code}), row))
        Refuse("E", "100007");
    if (column(row, 10) != brokers()->companyDb())
        Refuse("E", "100401");
    const std::pair<int, const char*> copied[] = {{1, "TC049C1"}, {2, "TC049C2"}, {3, "TC049C3"}, {3, "TC051"},
                                                  {4, "TC049C4"}, {6, "TC049C5"}, {8, "TC049C6"}, {5, "TC049C7"}};
    for (const auto& [index, name] : copied)
        Assign(cdsMain, name, column(row, index));
}

// Currency and tax -------------------------------------------------------------------------------

void TdmTavi52::cdsMainTC008Validate(Field& field)
{
    const std::string currency = field.asString();
    if (currency.empty())
        return;
    // The decimals and the existence check ask the same question: one answer serves both. An
    // unknown currency is refused before its rate is asked for (the server has none to give).
    const TBrokers::AnswerScope answers(*brokers());
    LoadCurrencyDecimals();
    CodeLookup(field, "CMSMF", "E", "", "01");
    fetchExchangeRate();
    localCurrency_ = currency == SystemParameter("SYS003");
}

void TdmTavi52::LoadCurrencyDecimals()
{
    Variant row;
    if (!RowLookup("CMSMF", "01", keys({Text(cdsMain, "TC008")}), row))
        return;
    for (int group = 5; group <= 8; ++group) {
        const auto decimals = text::tryParseInteger(text::trim(column(row, group - 4)));
        setFNumberLength(group, static_cast<int>(decimals.value_or(0)));
    }
}

void TdmTavi52::cdsMainTC016Validate(Field& field)
{
    const std::string tax = field.asString();
    const bool untaxed = tax == "3" || tax == "4" || tax == "9";
    // The head's rate still tells whether the type before was one without tax, under which the lines
    // took no rate of their own.
    const bool fromUntaxed = Number(cdsMain, "TC041") == 0;
    if (untaxed) {
        Assign(cdsMain, "TC041", "0");
    } else {
        const double rate = text::tryParseFloat(text::trim(SystemParameter("sys004"))).value_or(0.0);
        Assign(cdsMain, "TC041", text::floatToText(rate * 100));
    }
    ResplitAllLines(fromUntaxed && !untaxed);
}

void TdmTavi52::ResplitAllLines(bool itemRates)
{
    // The current line may be a new one not typed yet, or a saved one not looked at since the
    // order went into edit: the typed lines are split whatever it holds.
    if (!cdsBody1.active() || cdsBody1.isEmpty() || !someLineHasItem())
        return;
    const Bookmark current = cdsBody1.bookmark();
    cdsBody1.disableControls();
    try {
        for (cdsBody1.first(); !cdsBody1.eof(); cdsBody1.next()) {
            cdsBody1.edit();
            if (itemRates && Number(cdsBody1, "TD037") == 0)
                TakeItemTaxRate();
            SplitLineTax();
            SetWholesalePrice();
            SetRetailPrice();
            cdsBody1.post();
        }
    } catch (...) {
        cdsBody1.enableControls();
        throw;
    }
    if (cdsBody1.bookmarkValid(current))
        cdsBody1.gotoBookmark(current);
    cdsBody1.enableControls();
}

// Remarks and shipping marks ---------------------------------------------------------------------

void TdmTavi52::checkRemarkLines(const Field& field) const
{
    // The memo's lines: a stored mark separates them with BEL, a remark with line breaks.
    const std::string value = field.asString();
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t end = value.find_first_of("\a\r\n", start);
        const std::size_t length = (end == std::string::npos ? value.size() : end) - start;
        if (length > remarkLineBytes)
            Refuse("E", "100168");
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
}

void TdmTavi52::cdsMainTC037Validate(Field& field)
{
    checkRemarkLines(field);
}

void TdmTavi52::cdsMainTC038Validate(Field& field)
{
    checkRemarkLines(field);
}

void TdmTavi52::cdsMainTC056Validate(Field& field)
{
    showMarkOf(field);
}

void TdmTavi52::cdsMainTC057Validate(Field& field)
{
    showMarkOf(field);
}

void TdmTavi52::showMarkOf(Field& field)
{
    const std::string mark = field.asString();
    std::string picture;
    Variant row;
    // Without the shell's document store client (a module run outside the shell) no picture.
    if (!documentStore_ && AutomationRegistry::instance().isRegistered(documentStoreClass))
        documentStore_ = createAutomationObject(documentStoreClass);
    if (!mark.empty() && documentStore_ && brokers()->CheckValue("DMS", "01", keys({mark}), row) && row.isArray()) {
        std::vector<Variant> args{Variant(brokers()->userId()), Variant("R"), row[row.lowBound()],
                                  row[row.lowBound() + 1], Variant(std::string())};
        if (documentStore_->invoke("CheckOut", args).toIntegerOrZero() >= 0)
            picture = args[2].toString();
    }
    if (headWindow_ != nullptr)
        headWindow_->showMarkPicture(field.name(), picture);
    checkRemarkLines(field);
    if (headWindow_ != nullptr)
        headWindow_->refreshMarks();
}

void TdmTavi52::cdsMainTC034Validate(Field& field)
{
    if (field.asString().empty())
        return;
    const TBrokers::AnswerScope answers(*brokers());
    Variant row;
    if (!RowLookup("EPSMD", "02", keys({Text(cdsMain, "TC004"), field.asString()}), row)) {
        ShowMessage("W", "000004", {field.displayLabel()});
        return;
    }
    // The two marks' pictures are asked for together.
    const PrefetchCall pictures[] = {PrefetchCall::lookup("DMS", "01", keys({column(row, 2)})),
                                     PrefetchCall::lookup("DMS", "01", keys({column(row, 3)}))};
    if (documentStore_)
        brokers()->Prefetch(pictures);
    Assign(cdsMain, "TC056", column(row, 2));
    Assign(cdsMain, "TC057", column(row, 3));
    Assign(cdsMain, "TC034C", column(row, 4));
}

} // namespace orvane
