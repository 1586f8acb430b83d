#pragma once
// Seed data as plain tables: a table name, the columns given and rows of values. The
// loader adds the audit columns and inserts each row unless its key already exists.

#include "platform/variant/Variant.h"

#include <string>
#include <vector>

namespace orvane {

struct SeedTable {
    std::string table;
    std::vector<std::string> columns;
    std::vector<std::vector<Variant>> rows;
};

// The demonstration data, by database.
std::vector<SeedTable> demoSystemData();
std::vector<SeedTable> demoMessages();
std::vector<SeedTable> demoAdminData();
std::vector<SeedTable> demoMasterData();
std::vector<SeedTable> demoItemData();
std::vector<SeedTable> demoPriceData(); // part of demoItemData
std::vector<SeedTable> demoDocumentData();
std::vector<SeedTable> demoStoreData();
std::vector<SeedTable> demoWorkflowData();
std::vector<SeedTable> demoLookupData();

} // namespace orvane
