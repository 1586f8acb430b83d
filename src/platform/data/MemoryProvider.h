#pragma once
// A provider over rows held in memory: one keyed table whose rows carry the rows of their
// nested datasets. Tests and tools use it where the application server's database
// provider would stand. It honours conditions and orders in the filter-text language
// ([condition, order] parameters; "TC003 desc,TC001"), checks every original value of a
// modified or deleted record against the stored one (a concurrency conflict is reported
// with the stored values), and applies a delta all or nothing when maxErrors is not -1.
// Thread-safe.

#include "platform/data/Provider.h"

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvane {

class MemoryProvider : public Provider {
public:
    // A failure to report for a delta record (its message), or nothing to apply it.
    using FailureHook = std::function<std::optional<std::string>(const DeltaRecord& record)>;

    explicit MemoryProvider(std::vector<FieldDef> fields);

    // Key fields of a level: "" for the top level, nested levels by their DataSet field
    // names joined with "." ("qryBody.qryFoot"). Without keys a level's records are found
    // by all their original values.
    void setKeyFields(const std::string& level, std::vector<std::string> names);
    // Injects per-record failures (for example a simulated conflict); null removes it.
    void setFailureHook(FailureHook hook);

    const std::vector<FieldDef>& fields() const { return fields_; }
    // The stored rows; callers must not use them while another thread applies.
    std::vector<PacketRow>& rows() { return rows_; }
    // Appends a top-level row, checking its shape against the fields.
    void addRow(PacketRow row);

    DataPacket getRecords(int count, const Variant& params, bool reset) override;
    ApplyResult applyUpdates(const Delta& delta, int maxErrors) override;

private:
    struct Level;
    // The rows of one level while a delta is applied: a key index and deletion marks,
    // so that each record is found in constant time.
    struct LevelRows {
        std::vector<PacketRow>& rows;
        std::unordered_map<std::string, std::size_t> index;
        std::vector<bool> erased;
    };
    void applyLevel(const Level& level, std::vector<PacketRow>& rows, const std::vector<DeltaRecord>& records,
                    ApplyResult& result) const;
    bool applyRecord(const Level& level, LevelRows& store, const DeltaRecord& record, ApplyResult& result) const;
    void applyNested(const Level& level, PacketRow& row, const DeltaRecord& record, ApplyResult& result) const;
    Level levelFor(const std::vector<FieldDef>& storeFields, const std::vector<FieldDef>& deltaFields,
                   const std::string& path) const;

    std::vector<FieldDef> fields_;
    std::vector<PacketRow> rows_;
    std::map<std::string, std::vector<std::string>> keyNames_;
    FailureHook failureHook_;
    std::vector<PacketRow> selected_; // rows chosen by the last reset, in order
    std::size_t nextRow_ = 0;
    mutable std::mutex mutex_;
};

} // namespace orvane
