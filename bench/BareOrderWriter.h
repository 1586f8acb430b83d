#pragma once
// The storage's own limit for an order: a head row and 20 line rows written straight through
// the database's C library into the order tables (every stored column bound, statements
// prepared once and reused, one transaction per order), with none of the server's work above
// the storage. SQLite: its own connection in WAL with synchronous FULL, as the server's. PostgreSQL:
// the transaction in one round trip (pipeline). One writer per thread.

#include <memory>
#include <string>

namespace orvane::bench {

class BareOrderWriter {
public:
    virtual ~BareOrderWriter() = default;
    // Writes order number serial (unique per writer) of writer lane in one transaction.
    virtual void writeOrder(int lane, long serial) = 0;
};

constexpr int bareLinesPerOrder = 20;

// systemFile: the SQLite system database; the company file "<companyDb>.db" lies beside it.
std::unique_ptr<BareOrderWriter> bareSqliteWriter(const std::string& systemFile, const std::string& companyDb);
// connection: a libpq connection string; the company database is a schema there.
std::unique_ptr<BareOrderWriter> barePostgresWriter(const std::string& connection, const std::string& companyDb);

} // namespace orvane::bench
