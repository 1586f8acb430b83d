#include "server/db/ReadSnapshot.h"

#include "server/db/DbError.h"

namespace orvane {

ReadSnapshot::ReadSnapshot(Database& db) : db_(db)
{
    const std::string_view begin = db.dialect().beginReadTransaction();
    if (begin.empty() || db.transactionDepth() > 0)
        return;
    db.execute(begin);
    open_ = true;
}

ReadSnapshot::~ReadSnapshot()
{
    if (!open_)
        return;
    try {
        db_.execute("ROLLBACK"); // nothing was written: ending it any way releases the read lock
    } catch (const DbError&) {
        // Left inside the transaction: the pool discards the connection.
    }
}

} // namespace orvane
