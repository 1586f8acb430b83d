#include "server/db/ReferenceReads.h"

#include <cstring>
#include <mutex>

namespace orvane {

std::string ReferenceReads::keyOf(std::string_view sql, std::span<const Variant> params)
{
    // Each value by its type and exact content: 1 and 1.0, or "1" and 1, are different keys.
    std::string key(sql);
    for (const Variant& value : params) {
        key += '\x1f';
        key += static_cast<char>('0' + static_cast<int>(value.type()));
        switch (value.type()) {
        case VariantType::Boolean: key += value.asBoolean() ? '1' : '0'; break;
        case VariantType::Integer: key += std::to_string(value.asInteger()); break;
        case VariantType::Float: {
            const double number = value.asFloat();
            char bytes[sizeof number];
            std::memcpy(bytes, &number, sizeof number);
            key.append(bytes, sizeof bytes);
            break;
        }
        case VariantType::String:
            key += std::to_string(value.asString().size());
            key += ':';
            key += value.asString();
            break;
        default: break; // Unassigned and Null: the type says it all
        }
    }
    return key;
}

namespace {

// About what a kept answer holds in memory: its key, its cells and their texts.
std::size_t bytesOf(const std::string& key, const QueryResult& answer)
{
    std::size_t bytes = key.size();
    for (const DbRow& row : answer.rows) {
        bytes += sizeof(DbRow) + row.size() * sizeof(Variant);
        for (const Variant& value : row)
            bytes += value.isString() ? value.asString().size() : 0;
    }
    return bytes;
}

} // namespace

SharedResult ReferenceReads::find(std::string_view companyDb, std::int64_t writes, std::string_view sql,
                                            std::span<const Variant> params) const
{
    const std::string key = keyOf(sql, params);
    const std::shared_lock lock(mutex_);
    const auto company = companies_.find(companyDb);
    if (company == companies_.end() || company->second.writes != writes)
        return nullptr;
    const auto kept = company->second.answers.find(key);
    return kept == company->second.answers.end() ? nullptr : kept->second;
}

void ReferenceReads::keep(std::string_view companyDb, std::int64_t writes, std::string_view sql,
                          std::span<const Variant> params, SharedResult answer)
{
    std::string key = keyOf(sql, params);
    const std::size_t bytes = bytesOf(key, *answer);
    if (bytes > bytesPerAnswer)
        return;
    const std::unique_lock lock(mutex_);
    Company& known = company(companyDb);
    if (writes < known.writes)
        return; // read before a write another reader has already seen
    if (writes > known.writes || known.answers.size() >= answersPerCompany || known.bytes + bytes > bytesPerCompany) {
        known.answers.clear();
        known.bytes = 0;
        known.writes = writes;
    }
    if (known.answers.insert_or_assign(std::move(key), std::move(answer)).second)
        known.bytes += bytes;
}

std::int64_t ReferenceReads::keptAt(std::string_view companyDb) const
{
    const std::shared_lock lock(mutex_);
    const auto company = companies_.find(companyDb);
    return company == companies_.end() ? -1 : company->second.writes;
}

ReferenceReads::Company& ReferenceReads::company(std::string_view companyDb)
{
    auto company = companies_.find(companyDb);
    if (company == companies_.end())
        company = companies_.emplace(std::string(companyDb), Company{}).first;
    return company->second;
}

std::optional<std::int64_t> ReferenceReads::trusted(std::string_view companyDb) const
{
    const std::shared_lock lock(mutex_);
    const auto company = companies_.find(companyDb);
    if (company == companies_.end() || !company->second.trusted ||
        std::chrono::steady_clock::now() - company->second.trustedAt >= trustFor)
        return std::nullopt;
    return company->second.trusted;
}

void ReferenceReads::trust(std::string_view companyDb, std::int64_t writes, std::uint64_t heardBefore)
{
    const std::unique_lock lock(mutex_);
    if (heard_.load() != heardBefore)
        return;
    Company& known = company(companyDb);
    known.trusted = writes;
    known.trustedAt = std::chrono::steady_clock::now();
}

void ReferenceReads::heard()
{
    const std::unique_lock lock(mutex_);
    ++heard_;
    for (auto& [name, company] : companies_)
        company.trusted.reset();
}

} // namespace orvane
