#pragma once
// The provider "pvdMain" of the sales-order program for one session: order heads of the
// session's company database in packets, each head with its lines (qryBody) and their
// sub-lines (qryFoot), companions joined; and the saving of the client's changes.
//
// Opening (reset) binds the client's [condition, order] through the query layer and
// selects the keys of the matching heads once, in the client's order with the key as a
// tie-breaker and at most the row limit; later packets walk that selection and read the
// heads' current rows, so paging neither skips nor repeats heads when other users add
// orders meanwhile. Saving is one database transaction: with maxErrors -1 every record
// that can be saved is, otherwise more than maxErrors refused records roll everything
// back and the result says nothing was applied. With maxErrors 0 (what the client sends)
// the delta is first written all or nothing, without a savepoint per record; only when
// that meets a refused record is it written again record by record, to list them all.
// Saves are checked against the user's rights and stamped for the session's user
// (OrderWriter); a save with a request identifier is answered once (ApplyRequests).
//
// Threads: thread-safe (one lock); a session calls it from one thread at a time anyway.

#include "platform/data/Provider.h"
#include "server/salesorder/ApplyRequests.h"
#include "server/salesorder/OrderWriter.h"
#include "server/salesorder/ProgramAccess.h"
#include "server/services/ServiceContext.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orvane {

class OrderProvider : public Provider {
public:
    // keepAnswers: how long the answers of saves with a request identifier are kept.
    OrderProvider(std::shared_ptr<ServiceContext> context, SessionLogin login, const UserRights& rights,
                  std::chrono::seconds keepAnswers = ApplyRequests::defaultKeep);

    DataPacket getRecords(int count, const Variant& params, bool reset) override;
    ApplyResult applyUpdates(const Delta& delta, int maxErrors) override;
    ApplyResult applyUpdates(const Delta& delta, int maxErrors, const std::string& requestId) override;

    // Most heads an opening selects, 0 for no limit; takes effect at the next opening.
    void setRowLimit(int limit);
    // Whether the following applies number new heads of automatically numbered types.
    void setNumbering(bool on);
    // The number given to a new head by the last committed apply that gave one ("" before any).
    std::string lastNumber() const;
    // Runs before each record written (fault injection in tests); empty removes it.
    void setFaultHook(OrderWriter::FaultHook hook);
    // Who the session works for (fixed at construction).
    const SessionLogin& login() const { return login_; }
    // What the session's user may do to orders (fixed at construction).
    const SaveRights& rights() const { return session_.rights; }

private:
    std::vector<std::vector<Variant>> selectKeys(const Variant& params);
    ApplyResult applyOnce(Database& db, const Delta& delta, int maxErrors, WriteMode mode,
                          const std::string& requestId);
    // The first answer of a save sent again.
    ApplyResult replay(const KeptAnswer& kept);
    // Forgets kept answers past their time, at most once a minute in this process.
    void purgeKeptAnswers(Database& db) const;

    std::shared_ptr<ServiceContext> context_;
    SessionLogin login_;
    ApplyRequests requests_;
    mutable std::mutex mutex_; // guards everything below
    int rowLimit_ = 0;
    bool numbering_ = false;
    std::string lastNumber_;
    std::vector<std::vector<Variant>> selected_; // keys chosen by the last opening, in order
    std::size_t next_ = 0;                       // first key of the next packet
    OrderWriter::FaultHook faultHook_;
    RowVersions versions_; // of the records this session was given
    SaveSession session_;  // refers to versions_
};

} // namespace orvane
