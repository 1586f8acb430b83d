#include "platform/data/RecordView.h"

#include <algorithm>

namespace orvane {

namespace {

// A record seen through its layout, for filter evaluation.
class RecordRow : public FilterRow {
public:
    RecordRow(const RecordLayout& layout, const Record& record) : layout_(layout), record_(record) {}
    Variant value(int field) const override { return layout_.value(record_.data.data(), field); }

private:
    const RecordLayout& layout_;
    const Record& record_;
};

} // namespace

void RecordView::bind(RecordSet* set)
{
    set_ = set;
    rows_.clear();
    seenVersion_ = set_ != nullptr ? set_->version() - 1 : 0;
    if (set_ == nullptr) {
        return;
    }
    refresh();
}

void RecordView::setOrder(std::vector<int> fields)
{
    order_ = std::move(fields);
    refresh();
}

void RecordView::setFilter(FilterExpression filter)
{
    filter_ = std::move(filter);
    refresh();
}

void RecordView::refresh()
{
    rows_.clear();
    if (set_ == nullptr) {
        return;
    }
    rows_.reserve(set_->size());
    for (std::size_t i = 0; i < set_->size(); ++i) {
        Record& record = set_->at(i);
        if (accepts(record)) {
            rows_.push_back(&record);
        }
    }
    if (ordered()) {
        std::stable_sort(rows_.begin(), rows_.end(), [this](const Record* a, const Record* b) { return less(*a, *b); });
    }
    markSeen();
}

std::size_t RecordView::find(const Record* record, std::size_t hint) const
{
    if (hint < rows_.size() && rows_[hint] == record) {
        return hint;
    }
    const auto it = std::find(rows_.begin(), rows_.end(), record);
    return it == rows_.end() ? npos : static_cast<std::size_t>(it - rows_.begin());
}

std::size_t RecordView::findId(std::uint64_t id) const
{
    const auto it = std::find_if(rows_.begin(), rows_.end(), [id](const Record* r) { return r->id == id; });
    return it == rows_.end() ? npos : static_cast<std::size_t>(it - rows_.begin());
}

bool RecordView::accepts(const Record& record) const
{
    return filter_.matchesAll() || filter_.matches(RecordRow(set_->schema().layout(), record));
}

bool RecordView::less(const Record& a, const Record& b) const
{
    const RecordLayout& layout = set_->schema().layout();
    for (const int field : order_) {
        const int c = layout.compare(a.data.data(), b.data.data(), field);
        if (c != 0) {
            return c < 0;
        }
    }
    return false;
}

std::size_t RecordView::placeInserted(Record* record, std::size_t position)
{
    if (!accepts(*record)) {
        return npos;
    }
    if (ordered()) {
        const auto it = std::upper_bound(rows_.begin(), rows_.end(), record,
                                         [this](const Record* a, const Record* b) { return less(*a, *b); });
        position = static_cast<std::size_t>(it - rows_.begin());
    }
    position = std::min(position, rows_.size());
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(position), record);
    return position;
}

std::size_t RecordView::placeModified(std::size_t position)
{
    Record* record = rows_[position];
    if (!accepts(*record)) {
        erase(position);
        return npos;
    }
    if (!ordered()) {
        return position;
    }
    const bool afterPrevious = position == 0 || !less(*record, *rows_[position - 1]);
    const bool beforeNext = position + 1 >= rows_.size() || !less(*rows_[position + 1], *record);
    if (afterPrevious && beforeNext) {
        return position;
    }
    erase(position);
    return placeInserted(record, position);
}

void RecordView::erase(std::size_t position)
{
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(position));
}

} // namespace orvane
