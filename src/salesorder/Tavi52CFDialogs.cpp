// The dialogs the order window keeps: the quotation copy dialog and the option lines window,
// made when the program starts and freed with the window, and what the data module asks of the
// option lines window.
#include "salesorder/Tavi52CF.h"

namespace orvane {

void TfrmTavi52::createDialogs() {}

void TfrmTavi52::freeDialogs() {}

double TfrmTavi52::optionLinesQuantity() const
{
    return 0;
}

void TfrmTavi52::stampSubLines(DataSet& lines, DataSet& subLines)
{
    OrderFormSwitchValues().stampSubLines(lines, subLines);
}

} // namespace orvane
