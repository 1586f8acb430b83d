// The query-by-example condition parser: any text either parses or raises QueryError.

#include "server/query/ConditionParser.h"
#include "server/query/QueryError.h"

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        parseCondition({reinterpret_cast<const char*>(data), size});
    } catch (const QueryError&) {
    }
    return 0;
}
