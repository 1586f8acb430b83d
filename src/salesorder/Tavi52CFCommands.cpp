// The order window's commands: copying a quotation or the current order, the order's checks on
// confirmation, the multi-party trade commands, the query menu, the mark pictures, delivered
// quantities, option lines, the set explosion and the two-unit quantity step.
#include "salesorder/Tavi52CF.h"

namespace orvane {

void TfrmTavi52::btnCopyClick() {}

void TfrmTavi52::CopyFromSource() {}

void TfrmTavi52::CopyRecord()
{
    TfrmDouble::CopyRecord();
}

Variant TfrmTavi52::CopiedHeadValue(QObject* sender, Field& field, int flag)
{
    return TfrmDouble::CopiedHeadValue(sender, field, flag);
}

Variant TfrmTavi52::CopiedLineValue(QObject* sender, Field& field, int flag)
{
    return TfrmDouble::CopiedLineValue(sender, field, flag);
}

bool TfrmTavi52::ChangeConfirmState(int mode, int flag)
{
    return TfrmDouble::ChangeConfirmState(mode, flag);
}

void TfrmTavi52::btnViewHisClick() {}

void TfrmTavi52::btnTAVI61Click() {}

void TfrmTavi52::btnTAVB14Click() {}

void TfrmTavi52::btnCheckTC050Click() {}

void TfrmTavi52::btnSearchsClick() {}

void TfrmTavi52::miCreditCtrlClick() {}

void TfrmTavi52::miCOPTC_62Click() {}

void TfrmTavi52::miCOPTA_60Click() {}

void TfrmTavi52::miCOPTC_64Click() {}

void TfrmTavi52::miCOPTC_67Click() {}

void TfrmTavi52::miCOPTC_68Click() {}

void TfrmTavi52::btnSeePICClick() {}

void TfrmTavi52::btnEditTD009Click() {}

void TfrmTavi52::gdBody1IButtonClick() {}

void TfrmTavi52::ExplodeSetItem() {}

void TfrmTavi52::runQuantityStep(Field& /*field*/) {}

} // namespace orvane
