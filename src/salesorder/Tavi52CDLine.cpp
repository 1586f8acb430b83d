// The line's field checks and pricing: the item, quantities and units, price, discount,
// amount and tax, weights, packing, reference prices and the quotation line.
#include "salesorder/Tavi52CD.h"

namespace orvane {

void TdmTavi52::cdsBody1TD004SetText(Field& field, std::string_view text)
{
    field.setAsString(text);
}

void TdmTavi52::cdsBody1TD004Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD007Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD008Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD009Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD024Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD025Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD010Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD032Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD033Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD034Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD035Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD036Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD011Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD037Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD026Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD012Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD013Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD029Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD030Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD031Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD014Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD015Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD017Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD018Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD019Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD040Validate(Field& /*field*/) {}

void TdmTavi52::cdsBody1TD041Validate(Field& /*field*/) {}

void TdmTavi52::SplitLineTax() {}

void TdmTavi52::SetWholesalePrice() {}

void TdmTavi52::SetRetailPrice() {}

void TdmTavi52::RefreshItemPriceColumns() {}

void TdmTavi52::CalcLineWeight() {}

void TdmTavi52::CalcCartonCount() {}

void TdmTavi52::SetLineFinished() {}

} // namespace orvane
