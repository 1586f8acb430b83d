#pragma once
// A client dataset: a dataset whose records come in packets from a provider and whose
// changes are kept in a change log until they are applied back. Nested detail datasets
// are bound to a nested-dataset field of their master's current record, so a head, its
// lines and their sub-lines travel as one packet and one delta. Clone cursors give a
// second, private position (own index and filter) over the same records.
// Client thread only; a packet read ahead is read on a worker thread of its own, which touches
// the provider and nothing else.

#include "platform/data/DataSet.h"
#include "platform/data/Delta.h"
#include "platform/data/Provider.h"
#include "platform/data/ReconcileError.h"

#include <functional>
#include <memory>

namespace orvane {

class ClientDataSet : public DataSet {
public:
    using ReconcileHandler =
        std::function<void(ClientDataSet& dataSet, const ReconcileError& error, ReconcileAction& action)>;

    explicit ClientDataSet(std::string name);
    // Waits for a packet being read ahead.
    ~ClientDataSet() override;

    // The provider that fills and saves this dataset.
    void setProvider(std::shared_ptr<Provider> provider) { provider_ = std::move(provider); }
    const std::shared_ptr<Provider>& provider() const { return provider_; }
    // Records per packet: -1 all, 0 metadata only, n > 0 at most n.
    void setPacketRecords(int count) { packetRecords_ = count; }
    int packetRecords() const { return packetRecords_; }
    // When on, moving past the last record fetches the next packet by itself.
    void setFetchOnDemand(bool on) { fetchOnDemand_ = on; }
    bool fetchOnDemand() const { return fetchOnDemand_; }
    // Sent to the provider on open (the callers send [condition, order]).
    void setParams(Variant params) { params_ = std::move(params); }
    const Variant& params() const { return params_; }

    // Opens without a provider: an empty local dataset of the defined fields.
    void createDataSet();
    // Fetches the next packet; returns the number of records it brought.
    int getNextPacket();
    void fetchAll();
    // True when the provider has sent its last row.
    bool allFetched() const { return endOfData_; }

    // Reading ahead: the next packet is read on a worker thread while the client thread goes
    // on, then loaded on the client thread in slices. Only for a provider that takes calls from
    // another thread (its server object lets one call through at a time).
    void setReadsAhead(bool on) { readsAhead_ = on; }
    bool readsAhead() const { return readsAhead_; }
    // Starts reading the next packet on a worker; `arrived` is called on the worker once it is
    // read (or failed) and should only wake the client thread, which then calls
    // takeReadAhead. False when there is nothing to read or a read is already under way.
    bool readAhead(std::function<void()> arrived);
    bool readingAhead() const { return readAhead_ != nullptr; }
    // Loads up to `rows` rows (-1: all) of the packet read ahead once it has arrived; the
    // read ends with its last row. Answers the rows loaded; a failed read raises its error.
    int takeReadAhead(int rows = -1);

    // Binds this dataset to the nested-dataset field of its master. Both must be closed;
    // the master's field takes this dataset's field definitions.
    void setDataSetField(Field& field);
    DataSet* master() const { return master_; }

    // Shares the records of `source` (its current level) with a private cursor: own
    // position, index and filter; changes through either are seen by both. `source`
    // must be open.
    void cloneCursor(ClientDataSet& source);

    // Change log of the records this dataset shows (with their details).
    int changeCount() const;
    bool hasChanges() const { return changeCount() > 0; }
    void cancelUpdates();
    void revertRecord();
    void mergeChangeLog();
    // The pending changes as they would be sent (for the top dataset of a nesting).
    Delta delta() const;

    // Sends the changes of the whole nesting to the provider. maxErrors -1 lets every
    // record that can be applied through; n >= 0 rolls everything back on the provider
    // when more than n records fail. Each failed record goes to the reconcile event (of
    // the dataset bound at its level when that has one, else of the top dataset); applied
    // changes are merged. Returns the number of failed records. A requestId (not empty)
    // makes the save safe to send again when its answer is lost: send the same changes with
    // the same identifier and a provider that keeps answers repeats the first one.
    int applyUpdates(int maxErrors, const std::string& requestId = {});
    // The same with the request identifier made from the changes about to be sent, so that
    // they are gathered once.
    using RequestIdFor = std::function<std::string(const Delta& changes)>;
    int applyUpdates(int maxErrors, const RequestIdFor& requestIdFor);
    ReconcileHandler onReconcileError;

protected:
    void openStorage() override;
    bool fetchMore() override;

private:
    struct ReadAhead;

    ClientDataSet& top();
    ClientDataSet* handlerFor(std::uint64_t recordId);
    void reconcile(const std::vector<ApplyError>& errors, const Delta& sent, bool applied);
    int fetchPacket(int count);
    // Waits for the packet being read ahead and loads it all, so that no call to the provider
    // overtakes it and no row it brought is lost; answers the rows loaded.
    int finishReadAhead();

    std::shared_ptr<Provider> provider_;
    int packetRecords_ = -1;
    bool fetchOnDemand_ = false;
    Variant params_;
    bool endOfData_ = true;
    std::vector<FieldDef> packetFields_;
    ClientDataSet* cloneSource_ = nullptr; // set while cloneCursor opens
    bool openLocal_ = false;               // set while createDataSet opens
    bool readsAhead_ = false;
    std::unique_ptr<ReadAhead> readAhead_; // the packet being read ahead
};

} // namespace orvane
