// The head's field checks: order type and numbering, dates and rates, the customer and its
// defaults, the other parties, currency, tax, remarks and shipping marks.
#include "salesorder/Tavi52CD.h"

namespace orvane {

void TdmTavi52::cdsMainTC001Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC002Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC039Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC004Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC049Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC005Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC006Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC007Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC008Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC012Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC042Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC016Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC041Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC045Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC022Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC023SetText(Field& field, std::string_view text)
{
    field.setAsString(text);
}

void TdmTavi52::cdsMainTC023Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC024SetText(Field& field, std::string_view text)
{
    field.setAsString(text);
}

void TdmTavi52::cdsMainTC024Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC025SetText(Field& field, std::string_view text)
{
    field.setAsString(text);
}

void TdmTavi52::cdsMainTC025Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC032Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC033Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC036Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC047Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC026Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC034Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC056Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC057Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC037Validate(Field& /*field*/) {}

void TdmTavi52::cdsMainTC038Validate(Field& /*field*/) {}

void TdmTavi52::LoadCurrencyDecimals() {}

void TdmTavi52::ResplitAllLines() {}

} // namespace orvane
