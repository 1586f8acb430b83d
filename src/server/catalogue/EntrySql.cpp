#include "server/catalogue/EntrySql.h"

#include <algorithm>
#include <mutex>

namespace orvane {

EntrySql& EntrySql::operator=(const EntrySql& other)
{
    if (this != &other) {
        const std::unique_lock lock(mutex_);
        texts_.clear();
    }
    return *this;
}

const std::string* EntrySql::findLocked(std::string_view dialect, std::string_view companyDb, bool paged) const
{
    const auto kept = std::ranges::find_if(texts_, [&](const Text& text) {
        return text.paged == paged && text.companyDb == companyDb && text.dialect == dialect;
    });
    return kept == texts_.end() ? nullptr : &kept->sql;
}

const std::string* EntrySql::find(std::string_view dialect, std::string_view companyDb, bool paged) const
{
    const std::shared_lock lock(mutex_);
    return findLocked(dialect, companyDb, paged);
}

const std::string& EntrySql::keep(std::string_view dialect, std::string_view companyDb, bool paged,
                                  std::string sql) const
{
    const std::unique_lock lock(mutex_);
    // Another thread may have built the same text meanwhile: the first one kept is the one used.
    if (const std::string* kept = findLocked(dialect, companyDb, paged))
        return *kept;
    return texts_.emplace_back(Text{std::string(dialect), std::string(companyDb), paged, std::move(sql)}).sql;
}

} // namespace orvane
