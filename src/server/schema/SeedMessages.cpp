// Message texts of the demonstration installation, by type letter and code: the Simplified texts
// of the data dictionary's source table (tools/dictionary/Dictionary.tsv, its "ZtMsg" rows),
// which the build turns into SeedMessageRows.inc. "%s" marks each value the caller passes; a
// caller that passes one empty value gets a trailing "%s".
#include "server/schema/SeedTable.h"

namespace orvane {

std::vector<SeedTable> demoMessages()
{
    return {{"SYS_MESSAGE",
             {"MSG_TYPE", "MSG_CODE", "MSG_TEXT"},
             {
#include "SeedMessageRows.inc"
             }}};
}

} // namespace orvane
