// Demonstration rows of the lookup window's lists and of the phrase service: two deliveries
// of the demonstration order's line, and common phrases beside the system seed's: for every
// field, for the remark fields TC015 and TD020, and for user ZT.
#include "server/schema/SeedTable.h"

namespace orvane {

std::vector<SeedTable> demoLookupData()
{
    return {
        {"COPTF",
         {"TF001", "TF002", "TF003", "TF004", "TF005", "TF006", "TF007", "TF008", "TF009", "TF010"},
         {{"2201", "2501200001", "0001", "2501250001", "20250125", "A01", 8.0, 1.0, 95.0, 760.0},
          {"2201", "2501200001", "0001", "2502050001", "20250205", "A01", 4.0, 0.0, 95.0, 380.0}}},
        {"PHRASE",
         {"PHRASE_USER", "PHRASE_FIELD", "PHRASE_SEQ", "PHRASE_TEXT"},
         {{"", "", "0004", "包装须防潮防震"},
          {"", "TC015", "0001", "按合同约定分批交货"},
          {"", "TD020", "0001", "客户指定品牌包装"},
          {"ZT", "", "0001", "急单, 优先排产"}}},
    };
}

} // namespace orvane
