#include "salesorder/Tavi52CD.h"

#include "framework/KnlVozuraz.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"
#include "services/Brokers.h"

#include <vector>

namespace orvane {

namespace {

// Keeps a dataset's bound controls quiet and its current record for the life of the scope.
class KeptRecord {
public:
    explicit KeptRecord(DataSet& dataSet) : dataSet_(dataSet), bookmark_(dataSet.bookmark())
    {
        dataSet_.disableControls();
    }
    ~KeptRecord()
    {
        if (dataSet_.bookmarkValid(bookmark_))
            dataSet_.gotoBookmark(bookmark_);
        dataSet_.enableControls();
    }
    KeptRecord(const KeptRecord&) = delete;
    KeptRecord& operator=(const KeptRecord&) = delete;

private:
    DataSet& dataSet_;
    Bookmark bookmark_;
};

} // namespace

TdmTavi52::TdmTavi52()
{
    registerDataSet(cdsFoot);
    defineFields();
    cdsFoot.setIndexFieldNames("TM001;TM002;TM003;TM004;TM006");
    cdsMain.events.afterScroll = [this](DataSet& dataSet) { cdsMainAfterScroll(dataSet); };
    cdsBody1.events.afterScroll = [this](DataSet& dataSet) { cdsBody1AfterScroll(dataSet); };
    cdsBody1.events.beforePost = [this](DataSet& dataSet) { cdsBody1BeforePost(dataSet); };
}

TdmTavi52::~TdmTavi52()
{
    cdsFoot.close();
}

// Shared helpers ----------------------------------------------------------------------------

bool TdmTavi52::RowLookup(std::string_view table, std::string_view kind, const Variant& keys, Variant& row) const
{
    row = Variant();
    if (brokers() == nullptr || !brokers()->CheckValue(table, kind, keys, row) || !row.isArray() ||
        row.highBound() < row.lowBound())
        return false;
    return text::tryParseFloat(text::trim(row[row.lowBound()].toString())).value_or(0.0) > 0;
}

Variant TdmTavi52::RemoteValue(std::string_view method, std::initializer_list<Variant> args)
{
    Variant result;
    brokers()->RemoteCall(method, Variant::arrayOf(std::vector<Variant>(args)), result);
    if (result.isArray())
        return result.highBound() < result.lowBound() ? Variant() : result[result.lowBound()];
    return result;
}

int TdmTavi52::ShowMessage(std::string_view type, std::string_view code, std::initializer_list<Variant> args) const
{
    const std::vector<Variant> values(args);
    return messageService() != nullptr ? messageService()->ShowMessageCode(type, code, false, values) : 0;
}

void TdmTavi52::Refuse(std::string_view type, std::string_view code, std::initializer_list<Variant> args) const
{
    ShowMessage(type, code, args);
    abortSilently();
}

std::string TdmTavi52::SystemParameter(std::string_view name) const
{
    return brokers() != nullptr ? brokers()->SystemParameter(name) : std::string();
}

void TdmTavi52::Assign(DataSet& dataSet, std::string_view field, std::string_view text) const
{
    SetFieldText(&dataSet.fieldByName(field), text, true);
}

std::string TdmTavi52::Text(const DataSet& dataSet, std::string_view field) const
{
    return dataSet.fieldByName(field).asString();
}

double TdmTavi52::Number(const DataSet& dataSet, std::string_view field) const
{
    const Field& number = dataSet.fieldByName(field);
    return number.isNull() ? 0.0 : number.asFloat();
}

double TdmTavi52::MoneyQuantity(std::string_view method)
{
    const double quantity = Number(cdsBody1, "TD008");
    if (SystemParameter("SYS024") != "2")
        return quantity;
    const std::string unit = Text(cdsBody1, "TD010");
    const Variant answer = RemoteValue(method, {Text(cdsBody1, "TD004"), quantity, 0, unit, unit});
    return text::tryParseFloat(text::trim(answer.toString())).value_or(0.0);
}

Variant TdmTavi52::CopUnitPrice()
{
    return RemoteValue("CopUnitPrice", {Text(cdsMain, "TC004"), Text(cdsBody1, "TD004"), Text(cdsBody1, "TD010"),
                                        Text(cdsMain, "TC008"), Text(cdsMain, "TC016"), Text(cdsMain, "TC039"),
                                        Number(cdsBody1, "TD008"), Number(cdsBody1, "TD037")});
}

// Virtual steps -------------------------------------------------------------------------------

void TdmTavi52::NewHeadDefaults()
{
    TdmDouble::NewHeadDefaults();
    if (Text(cdsMain, "TC039").empty() && !(Today().substr(0, 6) < SystemParameter("sys011")))
        Assign(cdsMain, "TC039", Today());
    if (Text(cdsMain, "TC007").empty() && brokers() != nullptr) {
        Variant factory;
        if (brokers()->CheckValue("CMSMB", "02", Variant::arrayOf({Text(cdsMain, "TC039")}), factory) &&
            factory.isArray() && factory.highBound() > factory.lowBound()) {
            Assign(cdsMain, "TC007", factory[factory.lowBound()].toString());
            Assign(cdsMain, "TC007C1", factory[factory.lowBound() + 1].toString());
        }
    }
    for (const auto& [field, value] : {std::pair{"TC009", "1"},
                                       {"TC016", "2"},
                                       {"TC019", "1"},
                                       {"TC026", "0"},
                                       {"TC027", "N"},
                                       {"TC028", "0"},
                                       {"TC029", "0"},
                                       {"TC030", "0"},
                                       {"TC029C", "0"},
                                       {"TC031", "0"}})
        Assign(cdsMain, field, value);
    const double taxRate = text::tryParseFloat(text::trim(SystemParameter("SYS004"))).value_or(0.0);
    Assign(cdsMain, "TC041", text::floatToText(taxRate * 100));
    Assign(cdsMain, "TC050", "N");
    Assign(cdsMain, "TC058", "0");
}

void TdmTavi52::StampLines()
{
    TdmDouble::StampLines();
    if (!cdsBody1.active() || cdsBody1.isEmpty())
        return;
    const KeptRecord kept(cdsBody1);
    for (cdsBody1.first(); !cdsBody1.eof(); cdsBody1.next())
        switches_->stampSubLines(cdsBody1, cdsFoot);
}

void TdmTavi52::NewLineDefaults()
{
    TdmDouble::NewLineDefaults();
    Assign(cdsBody1, "TD021", Text(cdsMain, "TC027"));
    for (const char* field : {"TD008", "TD009", "TD011", "TD012", "TD022", "TD024", "TD025"})
        Assign(cdsBody1, field, "0");
    Assign(cdsBody1, "TD016", "N");
    // The discount carries over from the last line as its percent text (the same fraction).
    std::string discount = "100";
    if (cdsBody1.recordCount() > 0) {
        ClientDataSet last("LastLine");
        last.cloneCursor(cdsBody1);
        last.last();
        if (const Field& rate = last.fieldByName("TD026"); !rate.isNull() && rate.asFloat() != 0)
            discount = text::floatToText(rate.asFloat() * 100);
    }
    Assign(cdsBody1, "TD026", discount);
}

void TdmTavi52::RecalcHeadTotals()
{
    TdmDouble::RecalcHeadTotals();
    totalsBusy_ = true;
    try {
        const int quantities = SystemParameter("SYS024") == "2" ? -2 : -1;
        const double amount = SumLineField("TD038", -1);
        const double tax = SumLineField("TD039", -1);
        const std::pair<const char*, double> totals[] = {
            {"TC031", SumLineField("TD008", quantities) + SumLineField("TD024", quantities)},
            {"TC046", SumLineField("TD032", -1) + SumLineField("TD034", -1)},
            {"TC029", amount},
            {"TC030", tax},
            {"TC029C", amount + tax},
            {"TC043", SumLineField("TD030", -1)},
            {"TC044", SumLineField("TD031", -1)},
        };
        if (isEditing(cdsMain)) {
            for (const auto& [field, total] : totals)
                Assign(cdsMain, field, text::floatToText(total));
        }
    } catch (...) {
        totalsBusy_ = false;
        throw;
    }
    totalsBusy_ = false;
}

void TdmTavi52::ClearLineChildren()
{
    if (!cdsFoot.active() || cdsFoot.isEmpty())
        return;
    cdsFoot.last();
    if (ShowMessage("C", "100015") != 1)
        return;
    while (!cdsFoot.isEmpty()) {
        cdsFoot.last();
        cdsFoot.deleteRecord();
    }
}

void TdmTavi52::cdsMainAfterScroll(DataSet& dataSet)
{
    TdmBase::cdsMainAfterScroll(dataSet);
    switches_->clearMarkPictures();
}

} // namespace orvane
