#include "salesorder/Tavi52CD.h"

#include "framework/KnlVozuraz.h"
#include "platform/data/SilentAbort.h"
#include "platform/data/ViewRowScope.h"
#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"
#include "services/Brokers.h"

#include <cmath>
#include <vector>

namespace orvane {

TdmTavi52::TdmTavi52()
{
    registerDataSet(cdsFoot);
    defineFields();
    cdsFoot.setIndexFieldNames("TM001;TM002;TM003;TM004;TM006");
    cdsMain.events.afterScroll = [this](DataSet& dataSet) { cdsMainAfterScroll(dataSet); };
    cdsBody1.events.afterScroll = [this](DataSet& dataSet) { cdsBody1AfterScroll(dataSet); };
    cdsBody1.events.beforePost = [this](DataSet& dataSet) { cdsBody1BeforePost(dataSet); };
    cdsBody1.events.afterPost = [this](DataSet& dataSet) { cdsBody1AfterPost(dataSet); };
    cdsBody1.events.beforeDelete = [this](DataSet& dataSet) { cdsBody1BeforeDelete(dataSet); };
    cdsMain.events.afterCancel = [this](DataSet&) { lineTotalsValid_ = false; };
    cdsFoot.events.onNewRecord = [this](DataSet& dataSet) { cdsFootNewRecord(dataSet); };
    cdsFoot.events.afterEdit = [this](DataSet& dataSet) { StampAuditFields(dataSet); };
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
    const Bookmark current = cdsBody1.bookmark();
    cdsBody1.disableControls();
    try {
        for (cdsBody1.first(); !cdsBody1.eof(); cdsBody1.next())
            switches_->stampSubLines(cdsBody1, cdsFoot);
    } catch (...) {
        cdsBody1.enableControls();
        throw;
    }
    if (cdsBody1.bookmarkValid(current))
        cdsBody1.gotoBookmark(current);
    cdsBody1.enableControls();
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
    for (int row = cdsBody1.viewRowCount() - 1; row >= 0; --row) {
        if (cdsBody1.viewRowBookmark(row).empty())
            continue; // the new line itself
        const ViewRowScope last(cdsBody1, row);
        if (const Field& rate = cdsBody1.fieldByName("TD026"); !rate.isNull() && rate.asFloat() != 0)
            discount = text::floatToText(rate.asFloat() * 100);
        break;
    }
    Assign(cdsBody1, "TD026", discount);
}

void TdmTavi52::RecalcHeadTotals()
{
    TdmDouble::RecalcHeadTotals();
    // Incremental only right after one line's post (still current) or delete.
    const bool incremental = lineTotalsValid_ && (postedLine_ != 0 || deletedLine_ != 0) &&
                             (postedLine_ == 0 || cdsBody1.bookmark().recordId == postedLine_);
    totalsBusy_ = true;
    try {
        if (incremental) {
            lineTotals_.remove(deletedLine_);
            if (postedLine_ != 0)
                lineTotals_.set(postedLine_, lineValues());
        }
        if (!incremental || lineTotals_.lineCount() != static_cast<std::size_t>(cdsBody1.recordCount()))
            rebuildLineTotals();
        postedLine_ = deletedLine_ = 0;
        if (isEditing(cdsMain)) {
            const LineTotals::Values sums = lineTotals_.sums();
            const std::pair<const char*, double> totals[] = {
                {"TC031", sums[0] + sums[1]},  {"TC046", sums[2] + sums[3]}, {"TC029", sums[4]}, {"TC030", sums[5]},
                {"TC029C", sums[4] + sums[5]}, {"TC043", sums[6]},           {"TC044", sums[7]},
            };
            for (const auto& [field, total] : totals)
                Assign(cdsMain, field, text::floatToText(total));
        }
    } catch (...) {
        totalsBusy_ = false;
        lineTotalsValid_ = false;
        throw;
    }
    totalsBusy_ = false;
}

LineTotals::Values TdmTavi52::lineValues() const
{
    // In the two-unit mode the quantities count by their integer part.
    const bool wholeQuantities = SystemParameter("SYS024") == "2";
    const auto quantity = [&](std::string_view field) {
        const double value = Number(cdsBody1, field);
        return wholeQuantities ? std::trunc(value) : value;
    };
    return {quantity("TD008"),         quantity("TD024"),         Number(cdsBody1, "TD032"), Number(cdsBody1, "TD034"),
            Number(cdsBody1, "TD038"), Number(cdsBody1, "TD039"), Number(cdsBody1, "TD030"), Number(cdsBody1, "TD031")};
}

void TdmTavi52::rebuildLineTotals()
{
    lineTotals_.clear();
    lineTotalsValid_ = cdsBody1.active();
    if (!lineTotalsValid_)
        return;
    for (int row = 0; row < cdsBody1.viewRowCount(); ++row) {
        const Bookmark line = cdsBody1.viewRowBookmark(row);
        if (line.empty())
            continue;
        const ViewRowScope scope(cdsBody1, row);
        lineTotals_.set(line.recordId, lineValues());
    }
}

bool TdmTavi52::someLineHasItem() const
{
    for (int row = 0; row < cdsBody1.viewRowCount(); ++row) {
        if (cdsBody1.viewRowBookmark(row).empty())
            continue; // a new line not yet posted
        const ViewRowScope scope(cdsBody1, row);
        if (!Text(cdsBody1, "TD004C4").empty())
            return true;
    }
    return false;
}

void TdmTavi52::cdsBody1AfterPost(DataSet& dataSet)
{
    postedLine_ = cdsBody1.bookmark().recordId;
    lineTotalsValid_ = lineTotalsValid_ && AutoRecalc();
    cdsBody1AfterChange(dataSet);
}

void TdmTavi52::cdsBody1BeforeDelete(DataSet& /*dataSet*/)
{
    deletedLine_ = cdsBody1.bookmark().recordId;
    lineTotalsValid_ = lineTotalsValid_ && AutoRecalc();
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

void TdmTavi52::cdsFootNewRecord(DataSet& dataSet)
{
    StampAuditFields(dataSet);
    copySubLineKeys(cdsBody1, dataSet);
    FillEmptyFields(dataSet);
}

void TdmTavi52::cdsMainAfterScroll(DataSet& dataSet)
{
    TdmBase::cdsMainAfterScroll(dataSet);
    lineTotalsValid_ = false;
    switches_->clearMarkPictures();
}

} // namespace orvane
