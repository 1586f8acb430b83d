#pragma once
// The records a cursor shows, in its order: the record set's records that pass the
// cursor's filter, sorted stably by its index fields. Cursors over the same record set
// (a dataset and its clones) each keep their own view; a view is stale when the set's
// version moved and is rebuilt on the next access. The cursor keeps its own edits in
// step without a rebuild (insert, reposition, erase), so scrolling and posting stay O(1)
// or O(log n) apart from moving pointers.

#include "platform/data/FilterExpression.h"
#include "platform/data/RecordSet.h"

#include <cstdint>
#include <vector>

namespace orvane {

class RecordView {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Shows the records of `set` (none for null); the view is stale until refreshed.
    void bind(RecordSet* set);
    RecordSet* set() const { return set_; }
    // Index fields (field indexes, ascending).
    void setOrder(std::vector<int> fields);
    bool ordered() const { return !order_.empty(); }
    // The filter in force (matchesAll for none).
    void setFilter(FilterExpression filter);
    bool filtered() const { return !filter_.matchesAll(); }
    // True when the view shows the set's records as they are (no order, no filter).
    bool natural() const { return !ordered() && !filtered(); }

    bool stale() const { return set_ != nullptr && set_->version() != seenVersion_; }
    void refresh();
    // The set changed through this view's own cursor and the view was kept in step.
    void markSeen() { seenVersion_ = set_ != nullptr ? set_->version() : 0; }

    std::size_t size() const { return rows_.size(); }
    Record* at(std::size_t position) const { return rows_[position]; }
    std::size_t find(const Record* record, std::size_t hint = npos) const;
    std::size_t findId(std::uint64_t id) const;

    bool accepts(const Record& record) const;
    // Places a newly posted record, wanted at `position` when the view has no order;
    // returns its position, or npos when the filter hides it.
    std::size_t placeInserted(Record* record, std::size_t position);
    // Re-sorts and re-filters the record at `position` after new values were posted;
    // returns its new position, or npos when the filter now hides it.
    std::size_t placeModified(std::size_t position);
    void erase(std::size_t position);

private:
    bool less(const Record& a, const Record& b) const;

    RecordSet* set_ = nullptr;
    std::vector<Record*> rows_;
    std::vector<int> order_;
    FilterExpression filter_;
    std::uint64_t seenVersion_ = 0;
};

} // namespace orvane
