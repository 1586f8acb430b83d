#pragma once
// The SELECT texts built from one lookup entry, kept with the entry by what they depend on: the
// dialect, the company database and whether the text is paged. A lookup is read over and over,
// and building its text each time was a good part of reading it.
//
// Threads: any; a text handed out stays valid and unchanged as long as the entry holding it.

#include <deque>
#include <shared_mutex>
#include <string>
#include <string_view>

namespace orvane {

class EntrySql {
public:
    EntrySql() = default;
    // A copy keeps no texts: they belong to the entry they were built from.
    EntrySql(const EntrySql&) {}
    EntrySql& operator=(const EntrySql& other);

    // The text kept for the dialect (SqlDialect::name()), company database and paging, built by
    // build on the first call; what build raises reaches the caller, and nothing is kept then.
    template <typename Build>
    const std::string& text(std::string_view dialect, std::string_view companyDb, bool paged, Build&& build) const
    {
        if (const std::string* kept = find(dialect, companyDb, paged))
            return *kept;
        return keep(dialect, companyDb, paged, build());
    }

private:
    struct Text {
        std::string dialect;
        std::string companyDb;
        bool paged;
        std::string sql;
    };
    const std::string* find(std::string_view dialect, std::string_view companyDb, bool paged) const;
    const std::string& keep(std::string_view dialect, std::string_view companyDb, bool paged, std::string sql) const;
    const std::string* findLocked(std::string_view dialect, std::string_view companyDb, bool paged) const;

    mutable std::shared_mutex mutex_;
    mutable std::deque<Text> texts_; // a deque: texts handed out stay where they are
};

} // namespace orvane
