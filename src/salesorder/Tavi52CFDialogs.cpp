// The dialogs the order window keeps: the quotation copy dialog and the option lines window,
// made when the program starts and freed with the window, and what the data module asks of the
// option lines window.
#include "salesorder/Tavi52CF.h"

#include "salesorder/Tavi52DF.h"
#include "salesorder/Tavi52FF.h"
#include "services/Brokers.h"

namespace orvane {

void TfrmTavi52::createDialogs()
{
    TdmTavi52* module = orderModule();
    if (module == nullptr || frmTavi52FF != nullptr)
        return;
    frmTavi52DF = new TfrmTavi52DF(*this, CopyKey);
    // The option lines window starts as this window did, on this window's module.
    frmTavi52FF = TfrmVozuraz::Create<TfrmTavi52FF>(this, *module, ModuleFileName());
    frmTavi52FF->brokers().setHostObject(brokers().hostObject());
    frmTavi52FF->PrepareProgram(
        Variant::arrayOf({brokers().userId(), brokers().companyId(), companyDb(), shellWindowHandle(), startData()}));
}

void TfrmTavi52::freeDialogs()
{
    // The option lines window gives the datasets their handlers back, so it goes first.
    TZtForm::Free(frmTavi52FF);
    frmTavi52FF = nullptr;
    TZtForm::Free(frmTavi52DF);
    frmTavi52DF = nullptr;
}

double TfrmTavi52::optionLinesQuantity() const
{
    return frmTavi52FF != nullptr ? frmTavi52FF->quantity() : 0;
}

void TfrmTavi52::stampSubLines(DataSet& lines, DataSet& subLines)
{
    if (frmTavi52FF != nullptr && frmTavi52FF->bodyDataSet() == &subLines)
        frmTavi52FF->StampSubLines();
    else
        OrderFormSwitchValues().stampSubLines(lines, subLines);
}

} // namespace orvane
