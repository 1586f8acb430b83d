#include "salesorder/OrderFormSwitches.h"

#include "framework/KnlVozuraz.h"
#include "platform/data/DataSet.h"

#include <utility>

namespace orvane {

void copySubLineKeys(const DataSet& lines, DataSet& subLines)
{
    for (const auto& [line, subLine] : {std::pair{"TD001", "TM001"}, {"TD002", "TM002"}, {"TD003", "TM003"}})
        SetFieldText(subLines.findField(subLine), lines.fieldByName(line).asString(), false);
}

void OrderFormSwitchValues::runQuantityStep(Field& /*field*/)
{
    ++quantitySteps;
}

void OrderFormSwitchValues::stampSubLines(DataSet& lines, DataSet& subLines)
{
    if (!subLines.active() || subLines.isEmpty())
        return;
    const std::string order = subLines.indexFieldNames();
    const Bookmark current = subLines.bookmark();
    subLines.disableControls();
    subLines.setIndexFieldNames("FLAG");
    for (subLines.first(); !subLines.eof(); subLines.next()) {
        subLines.edit();
        copySubLineKeys(lines, subLines);
        subLines.post();
    }
    subLines.setIndexFieldNames(order);
    if (subLines.bookmarkValid(current))
        subLines.gotoBookmark(current);
    subLines.enableControls();
}

SwitchedOff::SwitchedOff(OrderFormSwitches& switches, FormSwitch which)
    : switches_(switches), which_(which), wasOn_(isOn())
{
    set(false);
}

SwitchedOff::~SwitchedOff()
{
    set(wasOn_);
}

bool SwitchedOff::isOn() const
{
    switch (which_) {
    case FormSwitch::Checks: return switches_.checksEnabled();
    case FormSwitch::AmountRecalculation: return switches_.amountRecalculation();
    case FormSwitch::PackageRecalculation: return switches_.packageRecalculation();
    }
    return true;
}

void SwitchedOff::set(bool on)
{
    switch (which_) {
    case FormSwitch::Checks: switches_.setChecksEnabled(on); break;
    case FormSwitch::AmountRecalculation: switches_.setAmountRecalculation(on); break;
    case FormSwitch::PackageRecalculation: switches_.setPackageRecalculation(on); break;
    }
}

} // namespace orvane
