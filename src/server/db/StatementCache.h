#pragma once
// The prepared statements of one connection, kept by their text for the next run of the same
// text: the most recently used first, and past the limit the least recently used one is
// dropped (finalised) to make room, so a connection that meets many texts stays bounded.
//
// Threads: as its connection (one thread at a time).

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orvane {

class Statement;

class StatementCache {
public:
    explicit StatementCache(std::size_t limit) : limit_(limit == 0 ? 1 : limit) {}
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The kept statement of sql, now the most recently used; nullptr when none is kept.
    Statement* find(std::string_view sql);
    // Keeps a statement just prepared for sql (none is kept for it). A statement answered by
    // find() or keep() stays valid until the next keep() or clear().
    Statement& keep(std::string_view sql, std::unique_ptr<Statement> statement);
    // Drops every statement (the connection is about to close).
    void clear();
    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        std::string sql;
        std::unique_ptr<Statement> statement;
    };

    std::size_t limit_;
    std::list<Entry> entries_;                                               // most recently used first
    std::unordered_map<std::string_view, std::list<Entry>::iterator> bySql_; // keys view the entries' texts
};

} // namespace orvane
