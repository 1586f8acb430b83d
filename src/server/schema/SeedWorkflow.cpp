// The demonstration sign-off flow of order type 2201 ("SO-FLOW", ADMMQ and ZTKMB): two
// passes of three branches each.
#include "server/schema/SeedTable.h"

namespace orvane {

std::vector<SeedTable> demoWorkflowData()
{
    return {{"VLFLOW",
             {"FL001", "FL002", "FL003", "FL004", "FL005"},
             {
                 {"SO-FLOW", 1, 1, "业务主管", "S001"},
                 {"SO-FLOW", 1, 2, "财务审核", "S002"},
                 {"SO-FLOW", 1, 3, "仓储确认", "S001"},
                 {"SO-FLOW", 2, 1, "总经理", "ZT"},
                 {"SO-FLOW", 2, 2, "副总经理", "S002"},
                 {"SO-FLOW", 2, 3, "稽核", "S001"},
             }}};
}

} // namespace orvane
