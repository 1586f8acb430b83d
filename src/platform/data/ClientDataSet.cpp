#include "platform/data/ClientDataSet.h"

#include "platform/data/DataSetError.h"
#include "platform/data/DeltaWriter.h"
#include "platform/data/PacketLoader.h"

#include <algorithm>
#include <future>
#include <optional>
#include <span>
#include <thread>
#include <unordered_set>

namespace orvane {

namespace {

const DeltaRecord* findDeltaRecord(const std::vector<DeltaRecord>& records, std::uint64_t id)
{
    for (const DeltaRecord& record : records) {
        if (record.recordId == id) {
            return &record;
        }
        for (const auto& nested : record.nested) {
            if (const DeltaRecord* found = findDeltaRecord(nested, id)) {
                return found;
            }
        }
    }
    return nullptr;
}

// The record's values as sent: the changed values over the original ones.
std::vector<Variant> sentValues(const DeltaRecord& record)
{
    std::vector<Variant> values = record.original.empty() ? record.current : record.original;
    for (std::size_t i = 0; i < values.size() && i < record.current.size(); ++i) {
        if (!record.current[i].isUnassigned()) {
            values[i] = record.current[i];
        }
    }
    return values;
}

} // namespace

// A packet being read on a worker, and how much of it the client thread has loaded.
struct ClientDataSet::ReadAhead {
    std::future<DataPacket> reading;
    std::thread worker;
    std::weak_ptr<RecordSet> into; // the records it continues; a reopened dataset drops it
    std::optional<DataPacket> packet;
    std::size_t loaded = 0;

    ~ReadAhead()
    {
        if (worker.joinable())
            worker.join();
    }
};

ClientDataSet::ClientDataSet(std::string name) : DataSet(std::move(name)) {}

ClientDataSet::~ClientDataSet() = default;

void ClientDataSet::createDataSet()
{
    close();
    openLocal_ = true;
    try {
        open();
    } catch (...) {
        openLocal_ = false;
        throw;
    }
    openLocal_ = false;
}

void ClientDataSet::openStorage()
{
    if (cloneSource_ != nullptr) {
        setSchema(cloneSource_->schema());
        storage_ = cloneSource_->storage_;
        return;
    }
    if (master_ != nullptr || openLocal_) {
        DataSet::openStorage();
        endOfData_ = true;
        return;
    }
    if (provider_ == nullptr) {
        throw DataSetError("Dataset " + name() + " has no provider; call createDataSet for a local dataset");
    }
    finishReadAhead();
    DataPacket packet = provider_->getRecords(packetRecords_, params_, true);
    std::vector<FieldDef> defs = effectiveDefs();
    auto schema = std::make_shared<const RecordSchema>(defs.empty() ? packet.fields : std::move(defs), &packet.fields);
    const PacketLoader loader(*schema, packet.fields);
    setSchema(schema);
    storage_ = std::make_shared<RecordSet>(schema);
    loader.load(*storage_, packet.rows);
    packetFields_ = std::move(packet.fields);
    endOfData_ = packet.endOfData;
}

int ClientDataSet::fetchPacket(int count)
{
    if (!active()) {
        throw DataSetError("Dataset " + name() + ": cannot fetch records while it is closed");
    }
    // A packet read ahead is the next packet.
    const int readAhead = finishReadAhead();
    if ((readAhead > 0 && count > 0) || provider_ == nullptr || master_ != nullptr || endOfData_ ||
        records() == nullptr) {
        return readAhead;
    }
    DataPacket packet = provider_->getRecords(count, Variant(), false);
    const PacketLoader loader(*schema(), packet.fields);
    loader.load(*records(), packet.rows);
    endOfData_ = packet.endOfData || (packet.rows.empty() && count == 0);
    resync();
    return readAhead + static_cast<int>(packet.rows.size());
}

bool ClientDataSet::readAhead(std::function<void()> arrived)
{
    if (readAhead_ != nullptr || !active() || provider_ == nullptr || master_ != nullptr || endOfData_ ||
        records() == nullptr) {
        return false;
    }
    auto ahead = std::make_unique<ReadAhead>();
    std::promise<DataPacket> promise;
    ahead->reading = promise.get_future();
    ahead->into = storage_;
    ahead->worker = std::thread([provider = provider_, count = packetRecords_, promise = std::move(promise),
                                 arrived = std::move(arrived)]() mutable {
        try {
            promise.set_value(provider->getRecords(count, Variant(), false));
        } catch (...) {
            promise.set_exception(std::current_exception());
        }
        if (arrived) {
            arrived();
        }
    });
    readAhead_ = std::move(ahead);
    return true;
}

int ClientDataSet::takeReadAhead(int rows)
{
    if (readAhead_ == nullptr) {
        return 0;
    }
    ReadAhead& ahead = *readAhead_;
    if (!ahead.packet && ahead.reading.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        return 0;
    }
    const std::shared_ptr<RecordSet> into = ahead.into.lock();
    if (!active() || into == nullptr || into != storage_) {
        readAhead_.reset(); // read for records closed meanwhile: they went with them
        return 0;
    }
    try {
        if (!ahead.packet) {
            ahead.packet = ahead.reading.get();
        }
        const std::vector<PacketRow>& all = ahead.packet->rows;
        const std::size_t left = all.size() - ahead.loaded;
        const std::size_t count = rows < 0 ? left : std::min(static_cast<std::size_t>(rows), left);
        const PacketLoader loader(*schema(), ahead.packet->fields);
        loader.load(*records(), std::span(all).subspan(ahead.loaded, count));
        ahead.loaded += count;
        if (ahead.loaded == all.size()) {
            endOfData_ = ahead.packet->endOfData;
            readAhead_.reset();
        }
        resync();
        return static_cast<int>(count);
    } catch (...) {
        readAhead_.reset();
        throw;
    }
}

int ClientDataSet::finishReadAhead()
{
    if (readAhead_ == nullptr) {
        return 0;
    }
    if (readAhead_->worker.joinable()) {
        readAhead_->worker.join();
    }
    return takeReadAhead(-1);
}

int ClientDataSet::getNextPacket()
{
    return fetchPacket(packetRecords_);
}

void ClientDataSet::fetchAll()
{
    fetchPacket(-1);
}

bool ClientDataSet::fetchMore()
{
    return fetchOnDemand_ && !endOfData_ && fetchPacket(packetRecords_ == 0 ? -1 : packetRecords_) > 0;
}

void ClientDataSet::setDataSetField(Field& field)
{
    bindToMaster(field);
}

void ClientDataSet::cloneCursor(ClientDataSet& source)
{
    if (!source.active()) {
        throw DataSetError("Dataset " + name() + ": cannot clone " + source.name() + " while it is closed");
    }
    close();
    cloneSource_ = &source;
    try {
        open();
    } catch (...) {
        cloneSource_ = nullptr;
        throw;
    }
    cloneSource_ = nullptr;
}

int ClientDataSet::changeCount() const
{
    return records() != nullptr ? records()->changeCount() : 0;
}

void ClientDataSet::cancelUpdates()
{
    if (!active()) {
        return;
    }
    cancel();
    if (records() != nullptr) {
        records()->cancelUpdates();
    }
    resync();
}

void ClientDataSet::revertRecord()
{
    if (!active()) {
        return;
    }
    cancel();
    if (Record* record = currentRecord(); record != nullptr && records() != nullptr) {
        records()->revertRecord(*record);
    }
    resync();
}

void ClientDataSet::mergeChangeLog()
{
    if (!active()) {
        return;
    }
    checkBrowseMode();
    if (records() != nullptr) {
        records()->mergeChangeLog();
    }
    resync();
}

Delta ClientDataSet::delta() const
{
    if (!active() || records() == nullptr) {
        return {};
    }
    return DeltaWriter(*schema()).write(*records());
}

ClientDataSet& ClientDataSet::top()
{
    ClientDataSet* dataSet = this;
    while (auto* master = dynamic_cast<ClientDataSet*>(dataSet->master_)) {
        dataSet = master;
    }
    return *dataSet;
}

int ClientDataSet::applyUpdates(int maxErrors, const std::string& requestId)
{
    return applyUpdates(maxErrors, [&requestId](const Delta&) { return requestId; });
}

int ClientDataSet::applyUpdates(int maxErrors, const RequestIdFor& requestIdFor)
{
    ClientDataSet& topDataSet = top();
    if (&topDataSet != this) {
        return topDataSet.applyUpdates(maxErrors, requestIdFor);
    }
    if (!active()) {
        throw DataSetError("Dataset " + name() + ": cannot apply updates while it is closed");
    }
    if (provider_ == nullptr) {
        throw DataSetError("Dataset " + name() + " has no provider to apply its updates to");
    }
    checkBrowseMode();
    finishReadAhead();
    const Delta sent = delta();
    if (sent.empty()) {
        return 0;
    }
    const ApplyResult result = provider_->applyUpdates(sent, maxErrors, requestIdFor(sent));
    reconcile(result.errors, sent, result.applied);
    return result.errorCount;
}

ClientDataSet* ClientDataSet::handlerFor(std::uint64_t recordId)
{
    RecordSet* set = records()->setOf(recordId);
    if (set != nullptr && set != records()) {
        std::vector<DataSet*> pending = details_;
        while (!pending.empty()) {
            DataSet* detail = pending.back();
            pending.pop_back();
            auto* client = dynamic_cast<ClientDataSet*>(detail);
            if (client != nullptr && client->schema() == set->schemaPtr() && client->onReconcileError) {
                return client;
            }
            pending.insert(pending.end(), detail->details().begin(), detail->details().end());
        }
    }
    return onReconcileError ? this : nullptr;
}

void ClientDataSet::reconcile(const std::vector<ApplyError>& errors, const Delta& sent, bool applied)
{
    std::unordered_set<std::uint64_t> keep;
    std::vector<std::pair<const ApplyError*, bool>> toRevert; // error, take the server's values
    bool aborted = false;
    for (const ApplyError& error : errors) {
        ReconcileAction action = ReconcileAction::Skip;
        ClientDataSet* handler = aborted ? nullptr : handlerFor(error.recordId);
        if (handler != nullptr) {
            const DeltaRecord* record = findDeltaRecord(sent.records, error.recordId);
            const ReconcileError reconcileError{
                error.message,      error.context,  error.previousError,
                error.kind,         error.recordId, record != nullptr ? sentValues(*record) : std::vector<Variant>{},
                error.currentValues};
            handler->onReconcileError(*handler, reconcileError, action);
        }
        switch (action) {
        case ReconcileAction::Abort:
            aborted = true;
            keep.insert(error.recordId);
            break;
        case ReconcileAction::Merge:
            if (!applied) {
                keep.insert(error.recordId);
            }
            break;
        case ReconcileAction::Cancel: toRevert.emplace_back(&error, false); break;
        case ReconcileAction::Refresh: toRevert.emplace_back(&error, true); break;
        default: keep.insert(error.recordId); break;
        }
    }
    cancel();
    RecordSet& root = *records();
    for (const auto& [error, refresh] : toRevert) {
        RecordSet* set = root.setOf(error->recordId);
        Record* record = root.findById(error->recordId);
        if (set == nullptr || record == nullptr) {
            continue;
        }
        const bool wasInserted = record->status == UpdateStatus::Inserted;
        set->revertRecord(*record);
        if (!refresh || wasInserted || error->currentValues.empty()) {
            continue;
        }
        const RecordSchema& schema = set->schema();
        std::size_t value = 0;
        for (int field = 0; field < schema.fieldCount() && value < error->currentValues.size(); ++field) {
            if (!schema.inPacket(field)) {
                continue;
            }
            try {
                schema.layout().setValue(record->data.data(), field, error->currentValues[value]);
            } catch (const ConversionError&) {
                // a value the field cannot hold keeps the reverted value
            }
            ++value;
        }
        set->touch();
    }
    if (applied) {
        root.mergeChangeLog(keep);
    }
    resync();
}

} // namespace orvane
