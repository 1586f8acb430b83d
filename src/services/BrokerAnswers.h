#pragma once
// BrokerAnswers: the answers of the validator and the counter that TBrokers keeps while a check
// runs, so that a check asking the same question twice, or one whose questions were fetched
// ahead in a batch, asks the server once. Keyed by the whole call (component method, table and
// kind or method name, every argument). Client thread only.

#include "platform/variant/Variant.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace orvane {

class BrokerAnswers {
public:
    // The kept answer of a call: the returned value and the written result argument.
    struct Answer {
        Variant value;
        Variant result;
    };

    // The call's key: its component method and its arguments as sent.
    static Variant keyOf(std::string_view componentMethod, std::initializer_list<Variant> arguments);

    // The kept answer of the key, none when there is none; valid until the next keep or clear.
    const Answer* find(const Variant& key) const;
    void keep(Variant key, Answer answer);
    // Keeps the answers of a call that answered a check's questions ahead: [lookups, methods],
    // each lookup [table, kind, keys, found, row] kept as "CheckValue" of table, kind and keys,
    // each method [name, elements, answer] as "GETCOUNTER" of name and elements. A malformed
    // entry is passed over. The rows are moved, not copied.
    void keepForeseen(Variant answer);
    void clear() { answers_.clear(); }
    bool empty() const { return answers_.empty(); }

private:
    struct Kept {
        std::size_t hash; // of the key: compared first, as a check looks up some fifteen times in twenty answers
        Variant key;
        Answer answer;
    };
    const Answer* find(const Variant& key, std::size_t hash) const;

    std::vector<Kept> answers_; // a check keeps a handful: a list is quickest
};

} // namespace orvane
