// Prints the column map of the schema as Markdown (table -> column -> meaning -> which
// lookups read it), for docs/database.md.
#include "server/schema/Tables.h"

#include <iostream>

int main()
{
    using namespace orvane;
    for (const auto& table : allTables()) {
        std::cout << "### " << table.name << " ("
                  << (table.scope == TableScope::System ? "system database" : "company database") << ")\n\n"
                  << table.role << ". Key: ";
        for (std::size_t i = 0; i < table.primaryKey.size(); ++i)
            std::cout << (i ? ", " : "") << table.primaryKey[i];
        std::cout << ".\n\n| column | type | meaning | read by |\n|---|---|---|---|\n";
        for (const auto& column : table.columns) {
            const char* type = column.type == SqlType::Text    ? "text"
                               : column.type == SqlType::Memo  ? "memo"
                               : column.type == SqlType::Float ? "number"
                                                               : "integer";
            std::cout << "| " << column.name << " | " << type;
            if (column.type == SqlType::Text)
                std::cout << "(" << column.size << ")";
            std::cout << " | " << column.meaning << " | " << column.readBy << " |\n";
        }
        std::cout << "\n";
    }
}
